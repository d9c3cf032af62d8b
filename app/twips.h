// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// Window geometry is laid out in twips, 1/1440 inch. Pixels follow the
// logical resolution of the primary screen (96 dots per inch: 15 twips a pixel).
double pixelsPerTwip();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);
QRect twipsRect(double left, double top, double width, double height);
