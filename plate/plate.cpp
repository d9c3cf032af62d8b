// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate.h"

#include "plate_block.h"

#include "core/plate_geometry.h"

#include <algorithm>

Plate::Plate(QByteArray reply, QDateTime received)
    : m_reply(std::move(reply))
    , m_received(std::move(received)) {}

Plate Plate::fromBlock(const QByteArray &block, const QDateTime &received) {
    return Plate(block + "OK", received);
}

qsizetype Plate::strips() const {
    return wholeStrips(m_reply.size());
}

QByteArray Plate::block() const {
    return m_reply.left(stripBlockSize * strips());
}

bool Plate::isComplete() const {
    const qsizetype n = strips();
    if (n > plateStrips || m_reply.size() != stripBlockSize * n + 2 || !m_reply.endsWith("OK"))
        return false;
    for (qsizetype k = 0; k < n; ++k) {
        if (m_reply.mid(stripBlockSize * k, 2) == "OK")
            return false;
    }
    return true;
}

QByteArray Plate::field(qsizetype s, int r) const {
    return m_reply.mid(stripBlockSize * s + wellFieldSize * r, wellFieldSize);
}

QString Plate::valueText(qsizetype s, int r) const {
    return wellValueText(m_reply, s, r);
}

bool Plate::hasNumber(qsizetype s, int r) const {
    if (s < 0 || s >= strips() || r < 0 || r >= plateRows)
        return false;
    const QByteArray digits = field(s, r);
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double Plate::number(qsizetype s, int r) const {
    return hasNumber(s, r) ? field(s, r).toInt() / 1000.0 : 0.0;
}

QString Plate::text() const {
    return plateText(m_reply, strips());
}
