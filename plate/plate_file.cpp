// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_file.h"

#include "plate_export.h"

#include <QCoreApplication>
#include <QFileInfo>

QString loadProblemText(const DatFileLoad &load) {
    switch (load.problem) {
    case DatFileLoad::Problem::None:
        break;
    case DatFileLoad::Problem::Missing:
        return QCoreApplication::translate("PlateExport", "no such file");
    case DatFileLoad::Problem::NotOrdinary:
        return QCoreApplication::translate("PlateExport", "not an ordinary file");
    case DatFileLoad::Problem::Unreadable:
        return load.reason;
    case DatFileLoad::Problem::TooLarge:
        // In the words blockFromDat uses for content that large.
        return QCoreApplication::translate("PlateExport",
                                           "the file is too large to be a plate file (over 1 MiB)");
    }
    return QString();
}

Plate readPlateFile(const QString &path, int n, QString *why) {
    const DatFileLoad load = loadDatFile(path);
    if (load.problem != DatFileLoad::Problem::None) {
        *why = loadProblemText(load);
        return Plate();
    }
    if (load.content.trimmed().startsWith('{'))
        return plateFromJson(load.content, n, why);
    const QByteArray block = blockFromDat(load.content, why);
    if (block.isEmpty())
        return Plate();
    return Plate::fromBlock(block, QFileInfo(path).lastModified().toUTC());
}
