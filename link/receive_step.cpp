// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive_step.h"

bool replyComplete(const QByteArray &RxBuffer) {
    return RxBuffer.endsWith("OK");
}

bool receiveStep(QByteArray &RxBuffer, char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= '0' && code <= 'Z' && RxBuffer.size() < rxBufferLimit)
        RxBuffer.append(c);
    return replyComplete(RxBuffer);
}
