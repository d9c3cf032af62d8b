// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A plate as the instrument sent it, made once from its complete data block
// and handed on as a value: the accepted characters as received (the
// closing "OK" included), when they were complete, and what they say.
// The block is one run of 32 characters per measured strip (8 wells of 4
// characters, rows A to H), then "OK"; nothing says how many strips there
// are: that follows from the length.
class Plate {
public:
    Plate() = default; // no plate
    Plate(QByteArray reply, QDateTime received);
    // The plate behind a block of whole strips without its "OK" (a plate
    // file read back, say).
    static Plate fromBlock(const QByteArray &block, const QDateTime &received);

    bool isNull() const { return m_reply.isEmpty(); }
    // The accepted characters, "OK" included.
    const QByteArray &reply() const { return m_reply; }
    const QDateTime &received() const { return m_received; }

    // The whole strip blocks: what is shown and copied (0 when the reply
    // holds less than one strip).
    qsizetype strips() const;
    // The characters of the whole strips, without "OK".
    QByteArray block() const;
    // Whether the reply is a block as the instrument sends one: at most 12
    // whole strips, and the first "OK" at a strip boundary ends it ("OK"
    // alone is a block of no strips). Only such a block is saved.
    bool isComplete() const;

    // The four characters of the well of strip s, row r, as they stand.
    QByteArray field(qsizetype s, int r) const;
    // The well value text: the first character, a comma and the next three,
    // copied as they stand ("1,234").
    QString valueText(qsizetype s, int r) const;
    // The well as a number, when all four characters are digits.
    bool hasNumber(qsizetype s, int r) const;
    double number(qsizetype s, int r) const;

    // The plate text: 8 lines (rows A to H), a TAB-terminated value per strip
    // and CR LF after each; 48 * strips + 16 characters.
    QString text() const;

private:
    QByteArray m_reply;
    QDateTime m_received;
};
