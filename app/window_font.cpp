// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_font.h"

#include <QStringList>

QFont windowFont() {
    QFont font;
    // Microsoft Sans Serif is the TrueType face that Windows shows for MS
    // Sans Serif; the bitmap font of that name (Wine has one) has no bold
    // at this size and comes last.
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("MS Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}
