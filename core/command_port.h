// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Where command lines go.
class CommandPort {
public:
    virtual ~CommandPort() = default;
    virtual bool isOpen() const = 0;
    // Queues the bytes of a command line for transmission, in order. Nothing
    // is written while the port is not open.
    virtual void output(const QByteArray &line) = 0;
};
