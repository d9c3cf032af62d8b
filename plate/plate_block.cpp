// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_block.h"

qsizetype wholeStrips(qsizetype length) {
    return length >= 2 ? (length - 2) / stripBlockSize : 0;
}

QString wellValueText(const QByteArray &block, qsizetype s, int r) {
    const qsizetype at = stripBlockSize * s + wellFieldSize * r;
    const QLatin1String all(block.constData(), block.size());
    QString value;
    value.reserve(5);
    value += all.mid(at, 1); // clipped at the end, like QByteArray::mid
    value += QLatin1Char(',');
    value += all.mid(at + 1, 3);
    return value;
}

QString plateText(const QByteArray &block, qsizetype strips) {
    QString text;
    text.reserve(plateRows * (6 * strips + 2));
    for (int r = 0; r < plateRows; ++r) {
        for (qsizetype s = 0; s < strips; ++s) {
            text += wellValueText(block, s, r);
            text += QLatin1Char('\t');
        }
        text += QLatin1String("\r\n");
    }
    return text;
}
