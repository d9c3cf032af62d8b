// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_problem.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
constexpr qsizetype maxShownLength = 80;

// A problem's reason for the terminal or a log, in English; translated
// where the program installs a translation.
const char *reason(PortProblem problem) {
    switch (problem) {
    case PortProblem::None:
        return QT_TRANSLATE_NOOP("PortProblem", "no reason given");
    case PortProblem::NoName:
        return QT_TRANSLATE_NOOP("PortProblem", "no port name was given");
    case PortProblem::NameTooLong:
        return QT_TRANSLATE_NOOP("PortProblem", "the name is too long to be a port");
    case PortProblem::NotFound:
        return QT_TRANSLATE_NOOP("PortProblem", "no such port");
    case PortProblem::Directory:
        return QT_TRANSLATE_NOOP("PortProblem", "it is a folder, not a serial port");
    case PortProblem::RegularFile:
        return QT_TRANSLATE_NOOP("PortProblem", "it is an ordinary file, not a serial port");
    case PortProblem::NotSerial:
        return QT_TRANSLATE_NOOP("PortProblem", "it is not a serial port");
    case PortProblem::Busy:
        return QT_TRANSLATE_NOOP("PortProblem", "in use by another program");
    case PortProblem::PermissionDenied:
        return QT_TRANSLATE_NOOP("PortProblem", "permission denied");
    case PortProblem::Unplugged:
        return QT_TRANSLATE_NOOP("PortProblem", "the device was unplugged or closed");
    case PortProblem::Other:
        break;
    }
    return QT_TRANSLATE_NOOP("PortProblem", "the system refused to open it");
}
} // namespace

QString portPath(const QString &portName) {
#ifdef Q_OS_WIN
    // As Windows names the device, and the only way it opens COM10 and up.
    if (portName.startsWith(QLatin1String("\\\\.\\")))
        return portName;
    return QStringLiteral("\\\\.\\") + portName;
#else
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1Char('.')))
        return portName;
    return QStringLiteral("/dev/") + portName;
#endif
}

PortFacts portFacts(const QString &portName) {
    PortFacts facts;
#ifdef Q_OS_WIN
    Q_UNUSED(portName); // COM ports are no files: nothing to look at
#else
    if (portName.isEmpty() || portNameTooLong(portName))
        return facts;
    const QFileInfo info(portPath(portName));
    facts.known = true;
    facts.exists = info.exists();
    if (facts.exists) {
        facts.directory = info.isDir();
        facts.regularFile = info.isFile();
        facts.readable = info.isReadable();
        facts.writable = info.isWritable();
    }
#endif
    return facts;
}

PortProblem checkPortName(const QString &portName, const PortFacts &facts) {
    if (portName.trimmed().isEmpty())
        return PortProblem::NoName;
    if (portNameTooLong(portName))
        return PortProblem::NameTooLong;
    if (!facts.known)
        return PortProblem::None;
    if (!facts.exists)
        return PortProblem::NotFound;
    if (facts.directory)
        return PortProblem::Directory;
    if (facts.regularFile)
        return PortProblem::RegularFile;
    if (!facts.readable || !facts.writable)
        return PortProblem::PermissionDenied;
    return PortProblem::None;
}

PortProblem openFailureReason(QSerialPort::SerialPortError error, const PortFacts &facts) {
    switch (error) {
    case QSerialPort::NoError:
        return PortProblem::None;
    case QSerialPort::DeviceNotFoundError:
        return PortProblem::NotFound;
    case QSerialPort::PermissionError:
        // Qt reports a port another program holds (its lock, or exclusive use)
        // as a permission error; so does Windows for a COM port in use. Where
        // the file system says the operator may open the device, it is busy.
        if (facts.known && facts.exists && (!facts.readable || !facts.writable))
            return PortProblem::PermissionDenied;
        return PortProblem::Busy;
    case QSerialPort::OpenError:
        return PortProblem::Busy; // already open in this program
    case QSerialPort::UnsupportedOperationError:
        return PortProblem::NotSerial;
    case QSerialPort::ResourceError:
        return facts.known && !facts.exists ? PortProblem::NotFound : PortProblem::Other;
    default:
        // A device node that is no terminal fails when its line is set up.
        if (facts.known && facts.exists && !facts.directory && !facts.regularFile)
            return PortProblem::NotSerial;
        return PortProblem::Other;
    }
}

QString shownPortName(const QString &portName) {
    QString shown;
    for (const QChar c : portName.left(maxShownLength))
        shown +=
            c.isPrint() ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    if (portName.size() > maxShownLength)
        shown += QStringLiteral("…");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString portProblemText(PortProblem problem) {
    return QCoreApplication::translate("PortProblem", reason(problem));
}
