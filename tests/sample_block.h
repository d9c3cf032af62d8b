// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// A plate data block as it reaches the reply buffer: 32 characters a strip,
// every well a different four-digit value, then "OK".
inline QByteArray plateBlock(int strips) {
    QByteArray block;
    for (int s = 0; s < strips; ++s)
        for (int r = 0; r < 8; ++r)
            block += QByteArray::number(1000 + 100 * s + r).right(4);
    return block + "OK";
}
