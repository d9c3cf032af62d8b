// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// "MS Sans Serif" 8.25 pt bold, the font of the panes and the dialog, with
// close sans-serif faces where it is missing.
QFont windowFont();
