// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "port_list.h"

#include <QString>

class QSettings;

// The port to open and where its name came from.
struct PortChoice {
    QString name;
    // Nothing named a port (no --port, TELKARO_PORT or "Port" setting): the
    // name is the system's likeliest port, which may not be the instrument's.
    bool byDefault = false;
};

// The first name given of the command line's, the environment's
// (TELKARO_PORT) and the stored one ("Port" of [Settings]); blanks count as
// none. Empty when none is given.
QString portOrder(const QString &fromCommandLine, const QString &fromEnvironment,
                  const QString &stored);
// The port both programs open: the order above, else the likeliest port of
// those the system lists (defaultPort).
PortChoice choosePort(QSettings &store, const QString &fromCommandLine = QString());

// Of the ports listed, the likeliest to be an instrument's: USB serial
// adapters before built-in ports, then name order; COM1 or /dev/ttyS0 when
// none is listed.
QString defaultPort(const QList<PortEntry> &ports);

// The "Port" setting: what the port chooser stores (empty when none is).
QString storedPort(QSettings &store);
void storePort(QSettings &store, const QString &portName);
