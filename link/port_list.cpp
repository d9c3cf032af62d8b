// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_list.h"

#include <QSerialPortInfo>

#include <algorithm>

QList<PortEntry> availablePorts() {
    QList<PortEntry> ports;
    const QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : found) {
        const QString name = info.portName();
        const bool usb = info.hasVendorIdentifier() || name.startsWith(QLatin1String("ttyUSB")) ||
                         name.startsWith(QLatin1String("ttyACM"));
        ports.append({name, info.description(), info.manufacturer(), info.serialNumber(), usb});
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry &a, const PortEntry &b) { return a.name < b.name; });
    return ports;
}
