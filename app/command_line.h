// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_list.h"

#include <QString>
#include <QStringList>

// What the command line asks for. Parsed before any window exists, so the
// options that print and end work in a terminal without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, ListPorts, PrintPort, Error };
    Action action = Action::Run;
    QString port;            // --port: for this run only; empty when not given
    bool choosePort = false; // --choose-port: the port chooser first
    QString text;            // what Help, Version and Error print
};

// arguments: as QCoreApplication::arguments() gives them, the program first.
CommandLine parseCommandLine(const QStringList &arguments);

// What --list-ports prints: one port a line with what is known of it, or a
// line that says there is none.
QString portListText(const QList<PortEntry> &ports);

// The exit code of a command line that is not understood.
constexpr int commandLineErrorCode = 2;
