// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_watch.h"

#include "port_problem.h"

#include <QFileInfo>
#include <QSerialPortInfo>

PortWatch::PortWatch(QObject *parent)
    : QObject(parent)
    , m_probe(&portIsThere) {
    m_timer.setInterval(periodMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PortWatch::look);
}

void PortWatch::start(const QString &portName) {
    m_portName = portName;
    m_timer.start();
}

void PortWatch::stop() {
    m_timer.stop();
}

void PortWatch::look() {
    if (m_probe && m_probe(m_portName))
        emit present();
}

bool portIsThere(const QString &portName) {
    if (portName.isEmpty() || portNameTooLong(portName))
        return false;
#ifdef Q_OS_WIN
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        if (info.portName().compare(portName, Qt::CaseInsensitive) == 0 ||
            info.systemLocation().compare(portPath(portName), Qt::CaseInsensitive) == 0)
            return true;
    return false;
#else
    // A symlink counts only when what it points at is there.
    return QFileInfo::exists(portPath(portName));
#endif
}
