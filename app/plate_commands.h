// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class CommonDialog1;
class Plate;
class SessionPresenter;

// The File menu's commands on plate data. Each returns the warning to show
// the operator when it could not be carried out, or an empty string.

// Copy to clipboard: the plate text as it is; a clipboard that cannot be
// reached is passed over without a word.
void copyPlateText(const QString &plateText);
// Save: the plate the grid shows, to the .dat file the operator chooses.
QString saveShownPlate(CommonDialog1 &dialog, const Plate &shown);
// View file: a .dat file's values in the results pane and its text as the
// plate text.
QString viewDatFile(CommonDialog1 &dialog, SessionPresenter &presenter);

// The folder the save dialog starts in.
QString dataFolder();
