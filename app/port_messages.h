// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_problem.h"

#include <QString>

// What the program says about a port it cannot use: one line for the
// terminal or a log, and, for the results pane's tool tip, the same in
// Russian with what to do about it.
enum class PortEvent {
    OpenFailed, // at start, or when a port that came back still fails
    Lost,       // it went away while the program ran
};

QString diagnosisLine(const QString &portName, PortProblem problem, PortEvent event);
QString diagnosisTip(const QString &portName, PortProblem problem, PortEvent event);
// The instrument has not answered on a port that nothing named.
QString defaultPortLine(const QString &portName);
QString defaultPortTip(const QString &portName);
// The line said when a lost port is back and open.
QString portBackLine(const QString &portName);
