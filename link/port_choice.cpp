// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_choice.h"

#include "core/settings_store.h"

#include <QSettings>

#include <algorithm>

namespace {
const QString portKey = QStringLiteral("Settings/Port");
} // namespace

QString portOrder(const QString &fromCommandLine, const QString &fromEnvironment,
                  const QString &stored) {
    for (const QString *source : {&fromCommandLine, &fromEnvironment, &stored}) {
        const QString name = source->trimmed();
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

PortChoice choosePort(QSettings &store, const QString &fromCommandLine) {
    const QString given =
        portOrder(fromCommandLine, qEnvironmentVariable("TELKARO_PORT"), storedPort(store));
    // The system's list is asked only when nothing else names a port.
    if (!given.isEmpty())
        return {given, false};
    return {defaultPort(availablePorts()), true};
}

QString defaultPort(const QList<PortEntry> &ports) {
    const auto usb =
        std::find_if(ports.cbegin(), ports.cend(), [](const PortEntry &port) { return port.usb; });
    if (usb != ports.cend())
        return usb->name;
    if (!ports.isEmpty())
        return ports.first().name;
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("/dev/ttyS0");
#endif
}

QString storedPort(QSettings &store) {
    return settingText(store.value(portKey)).trimmed();
}

void storePort(QSettings &store, const QString &portName) {
    store.setValue(portKey, portName);
    store.sync();
}
