// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyze.h"

#include "analysis_output.h"
#include "console.h"
#include "options.h"
#include "reader_text.h"

#include "plate/plate_file.h"

#include <QDir>

namespace {
int unreadable(const QString &path, const QString &reason) {
    writeStandardError(ReaderText::tr("telkaro-read: cannot analyse %1: %2")
                           .arg(QDir::toNativeSeparators(path), reason));
    return exitCode::inputUnreadable;
}
} // namespace

int analyzeFile(const ReaderOptions &options) {
    const RunKit kit = loadRunKit(options.assay, QDir::toNativeSeparators(options.file));
    if (!kit.kit) {
        writeStandardError(QStringLiteral("telkaro-read: ") + kit.error);
        return exitCode::kitWrong;
    }
    QString why;
    const Plate plate = readPlateFile(options.file, options.plate, &why);
    if (plate.isNull())
        return unreadable(options.file, why);
    AnalysisOutput output(options, *kit.kit, kit.run);
    QString failure = output.check();
    if (failure.isEmpty())
        failure = output.add(plate);
    if (!failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return output.failureCode();
    }
    if (output.anyInvalid()) {
        writeStandardError(ReaderText::tr("telkaro-read: %1: the run is invalid by the kit's rules")
                               .arg(QDir::toNativeSeparators(options.file)));
        return exitCode::runInvalid;
    }
    return exitCode::done;
}
