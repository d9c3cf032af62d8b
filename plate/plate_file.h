// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dat_file.h"
#include "plate.h"

#include <QString>

// Why a plate file could not be read, for a person (context "PlateExport");
// empty when it was.
QString loadProblemText(const DatFileLoad &load);

// A plate read back from a .dat file as Save writes it, its time the file's;
// null, with the reason in *why, when it cannot be read or is not one.
Plate readDatPlate(const QString &path, QString *why);

// A plate read back from a file: a .dat file as Save writes it, or the JSON
// document telkaro-read writes (its plate n, 1 for the first), told apart by
// content. Null, with the reason in *why, when the file cannot be read or is
// not such a plate file.
Plate readPlateFile(const QString &path, int n, QString *why);
