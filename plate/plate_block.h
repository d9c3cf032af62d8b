// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/plate_geometry.h"

#include <QByteArray>
#include <QString>

class PaneModel;

// The plate data block as the instrument sends it: one block of 32
// characters per measured strip (8 wells of 4 characters, rows A to H), then
// "OK". Nothing says how many strips there are; that follows from the length.
constexpr int stripBlockSize = 32;
constexpr int wellFieldSize = 4;

// The number of whole strip blocks in a block of that length (0 when the
// reply holds less than one strip).
qsizetype wholeStrips(qsizetype length);

// The number of strips of the complete data block in the reply buffer: its
// whole strips when the buffer is at most 12 strips and the first "OK" at a
// strip boundary ends it; -1 otherwise.
int stripsToSave(const QByteArray &rxBuffer);

// The well value text of strip s, row r: the first character of the well,
// a comma and the next three characters, copied as they stand.
QString wellValueText(const QByteArray &block, qsizetype s, int r);

// Clears the pane and draws every value of the whole strip blocks at
// (strip, row), strip by strip.
void showBlock(PaneModel &pane, const QByteArray &block);

// The plate text of a block: 8 lines (rows A to H), each a TAB-terminated
// value per strip and CR LF. 48 * strips + 16 characters.
QString plateText(const QByteArray &block, qsizetype strips);
QString buildPlateText(const QByteArray &block);
