// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_block.h"

#include "core/pane_model.h"

qsizetype ЧислоСтрипов(qsizetype length) {
    return length >= 2 ? (length - 2) / РазмерСтрипа : 0;
}

int СтриповДляЗаписи(const QByteArray &rxBuffer) {
    const qsizetype strips = ЧислоСтрипов(rxBuffer.size());
    if (strips > plateStrips || rxBuffer.size() != РазмерСтрипа * strips + 2)
        return -1;
    for (qsizetype k = 0; k <= strips; ++k) {
        if (rxBuffer.mid(РазмерСтрипа * k, 2) == "OK")
            return k == strips ? static_cast<int>(strips) : -1;
    }
    return -1;
}

QString ЗначениеЛунки(const QByteArray &block, qsizetype s, int r) {
    const qsizetype at = РазмерСтрипа * s + РазмерЛунки * r;
    const QLatin1String all(block.constData(), block.size());
    QString value;
    value.reserve(5);
    value += all.mid(at, 1); // clipped at the end, like QByteArray::mid
    value += QLatin1Char(',');
    value += all.mid(at + 1, 3);
    return value;
}

void ПоказатьБлок(PaneModel &pane, const QByteArray &block) {
    pane.Cls();
    const qsizetype strips = ЧислоСтрипов(block.size());
    for (qsizetype s = 0; s < strips; ++s) {
        for (int r = 0; r < plateRows; ++r) {
            pane.PSet(static_cast<double>(s), r);
            pane.Print(ЗначениеЛунки(block, s, r));
        }
    }
}

QString ТекстПлашки(const QByteArray &block, qsizetype strips) {
    QString text;
    text.reserve(plateRows * (6 * strips + 2));
    for (int r = 0; r < plateRows; ++r) {
        for (qsizetype s = 0; s < strips; ++s) {
            text += ЗначениеЛунки(block, s, r);
            text += QLatin1Char('\t');
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QString ПостроитьPlateText(const QByteArray &block) {
    return ТекстПлашки(block, ЧислоСтрипов(block.size()));
}
