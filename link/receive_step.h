// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The receive step: one character read from the port. Only the characters
// "0" to "Z" (codes 48 to 90) enter the reply buffer; everything else (line
// ends, spaces, lower case, non-ASCII) is dropped. Returns true when the
// buffer then ends with "OK", whether or not this character was accepted, so
// a buffer that already ends in "OK" is reported complete again.
//
// The buffer is bounded far above any real reply (a full plate is 386
// characters): once it holds rxBufferLimit characters, further characters are
// dropped until the next command empties it, so a flood of bytes from a
// faulty line cannot grow memory without end.
constexpr qsizetype rxBufferLimit = 64 * 1024;

bool receiveStep(QByteArray &RxBuffer, char c);

// True when the buffer ends with the two letters "OK".
bool replyComplete(const QByteArray &RxBuffer);
