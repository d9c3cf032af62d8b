// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert.h"

#include "console.h"
#include "options.h"
#include "output.h"
#include "reader_text.h"

#include "plate/plate_file.h"

#include <QDir>

namespace {
int unreadable(const QString &path, const QString &reason) {
    writeStandardError(ReaderText::tr("telkaro-read: cannot convert %1: %2")
                           .arg(QDir::toNativeSeparators(path), reason));
    return exitCode::inputUnreadable;
}
} // namespace

int convertFile(const ReaderOptions &options) {
    const QString &path = options.file;
    // As View file reads it: only an ordinary file, and no more than a plate
    // file can be.
    QString why;
    const Plate plate = readDatPlate(path, &why);
    if (plate.isNull())
        return unreadable(path, why);

    PlateOutput output(options, runFacts(std::nullopt, static_cast<int>(plate.strips())));
    QString failure = output.check();
    if (failure.isEmpty())
        failure = output.add(plate);
    if (failure.isEmpty())
        failure = output.finish();
    if (!failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return exitCode::outputFailed;
    }
    return exitCode::done;
}
