// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What telkaro-assay's command line asks for, parsed before any window
// exists: telkaro-assay [--port NAME] [--assay KIT.assay.json] [PLATE].
struct AssayCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString port;  // for this run only; empty: the programs' order of choice
    QString kit;   // the kit chosen at start
    QString plate; // a plate file opened instead of measuring
    QString text;  // what Help, Version and Error print
};

// arguments: as QCoreApplication::arguments() gives them, the program first.
AssayCommandLine parseAssayCommandLine(const QStringList &arguments);

constexpr int assayUsageErrorCode = 2;
