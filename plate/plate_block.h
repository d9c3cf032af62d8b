// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/plate_geometry.h"

#include <QByteArray>
#include <QString>

// The layout of the instrument's data block: one block of 32 characters per
// measured strip (8 wells of 4 characters, rows A to H), then "OK".
constexpr int stripBlockSize = 32;
constexpr int wellFieldSize = 4;

// The number of whole strip blocks in a reply of that length (0 when the
// reply holds less than one strip).
qsizetype wholeStrips(qsizetype length);

// The well value text of strip s, row r: the first character of the well,
// a comma and the next three characters, copied as they stand.
QString wellValueText(const QByteArray &block, qsizetype s, int r);

// The plate text of the first strips of a block: 8 lines (rows A to H), each
// a TAB-terminated value per strip and CR LF. 48 * strips + 16 characters.
QString plateText(const QByteArray &block, qsizetype strips);
