// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>
#include <QString>

// Why a port could not be opened, or why it went away.
enum class PortProblem {
    None,
    NoName,           // the name is empty
    NameTooLong,      // no system takes a path this long
    NotFound,         // nothing of that name
    Directory,        // a folder, not a device
    RegularFile,      // an ordinary file, not a device
    NotSerial,        // a device, but not a serial line
    Busy,             // another program holds it
    PermissionDenied, // the operator may not open it
    Unplugged,        // it vanished while open
    Other,
};

// What the file system says about the path behind a port name. Not known on
// systems where ports are not files (Windows' COM ports).
struct PortFacts {
    bool known = false;
    bool exists = false;
    bool directory = false;
    bool regularFile = false;
    bool readable = false;
    bool writable = false;
};

// No system takes a port path longer than this.
constexpr qsizetype maxPortNameLength = 4096;
inline bool portNameTooLong(const QString &portName) {
    return portName.size() > maxPortNameLength;
}

// The device path behind a port name: "ttyUSB0" is /dev/ttyUSB0 and "COM10" is
// \\.\COM10 on Windows; a path is itself.
QString portPath(const QString &portName);
PortFacts portFacts(const QString &portName);

// A name that cannot be a port, before anything is opened; None when it may be one.
PortProblem checkPortName(const QString &portName, const PortFacts &facts);
// The reason for a failed open, from Qt's error and the file system's facts.
PortProblem openFailureReason(QSerialPort::SerialPortError error, const PortFacts &facts);

// The reason in a line for the terminal or a log, in English ("in use by
// another program"); translated where the program installs a translation.
QString portProblemText(PortProblem problem);

// A port name as it is shown: a very long one is cut, blanks and control
// characters are made visible.
QString shownPortName(const QString &portName);
