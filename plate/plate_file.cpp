// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_file.h"

#include "plate_export.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

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

namespace {
Plate datPlate(const DatFileLoad &load, const QString &path, QString *why) {
    const QByteArray block = blockFromDat(load.content, why);
    if (block.isEmpty())
        return Plate();
    return Plate::fromBlock(block, QFileInfo(path).lastModified().toUTC());
}

// The file's content, read safely; empty with the reason when it cannot be.
std::optional<DatFileLoad> loaded(const QString &path, QString *why) {
    DatFileLoad load = loadDatFile(path);
    if (load.problem == DatFileLoad::Problem::None)
        return load;
    *why = loadProblemText(load);
    return std::nullopt;
}
} // namespace

Plate readDatPlate(const QString &path, QString *why) {
    const std::optional<DatFileLoad> load = loaded(path, why);
    return load ? datPlate(*load, path, why) : Plate();
}

Plate readPlateFile(const QString &path, int n, QString *why) {
    const std::optional<DatFileLoad> load = loaded(path, why);
    if (!load)
        return Plate();
    if (load->content.trimmed().startsWith('{'))
        return plateFromJson(load->content, n, why);
    return datPlate(*load, path, why);
}
