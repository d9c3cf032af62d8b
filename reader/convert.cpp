// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert.h"

#include "console.h"
#include "options.h"
#include "output.h"
#include "reader_text.h"

#include "plate/dat_file.h"
#include "plate/plate_block.h"
#include "plate/plate_export.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
int unreadable(const QString &path, const QString &reason) {
    writeStandardError(ReaderText::tr("telkaro-read: cannot convert %1: %2")
                           .arg(QDir::toNativeSeparators(path), reason));
    return exitCode::inputUnreadable;
}
} // namespace

int convertFile(const ReaderOptions &options) {
    const QString &path = options.file;
    // As View file: only an ordinary file is opened (a FIFO or a device
    // would block or never end), and no more is read than a plate file can
    // be; blockFromDat refuses what is larger.
    const QFileInfo info(path);
    if (!info.exists())
        return unreadable(path, ReaderText::tr("no such file"));
    if (!info.isFile())
        return unreadable(path, ReaderText::tr("not an ordinary file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, file.errorString());
    if (file.isSequential())
        return unreadable(path, ReaderText::tr("not an ordinary file"));
    const QByteArray content = file.read(maxDatFileSize + 1);
    file.close();
    QString why;
    const QByteArray block = blockFromDat(content, &why);
    if (block.isEmpty())
        return unreadable(path, why);

    PlateOutput output(options,
                       runFacts(std::nullopt, static_cast<int>(block.size() / stripBlockSize)));
    QString failure = output.check();
    if (failure.isEmpty())
        failure = output.add(PlateRecord{1, info.lastModified().toUTC(), block});
    if (failure.isEmpty())
        failure = output.finish();
    if (!failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return exitCode::outputFailed;
    }
    return exitCode::done;
}
