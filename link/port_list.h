// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <functional>

// One serial port the system reports, as the operator needs to recognise it.
struct PortEntry {
    QString name; // what --port and the "Port" setting take: "ttyUSB0", "COM3"
    QString description;
    QString manufacturer;
    QString serialNumber;
    // A USB serial adapter (the system knows its USB vendor, or the name is
    // one Linux gives them), rather than a port built into the computer.
    bool usb = false;
};

// The ports the system finds now, sorted by name. Pseudo-terminals and
// /dev/serial/by-id links are not among them: they are typed by hand.
QList<PortEntry> availablePorts();

// Where the list comes from; tests put a function of their own here.
using PortLister = std::function<QList<PortEntry>()>;
