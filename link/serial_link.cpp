// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial_link.h"

SerialLink::SerialLink(QObject *parent)
    : QObject(parent)
    , m_port(new QSerialPort(this)) {
    // The port is a child: it goes after this object's connections are cut,
    // so nothing it says while closing reaches a link half gone.
    connect(m_port, &QSerialPort::readyRead, this, &SerialLink::readAvailable);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialLink::handleError);
}

SerialLink::~SerialLink() = default;

bool SerialLink::open(const QString &portName) {
    if (m_port->isOpen())
        return true;
    m_portName = portName;
    m_error.clear();
    m_errorCode = QSerialPort::NoError;
    const PortFacts facts = portFacts(portName);
    m_problem = checkPortName(portName, facts);
    if (m_problem != PortProblem::None)
        return false;
    m_port->setPortName(portName);
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setReadBufferSize(1024);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_problem = openFailureReason(m_errorCode, facts);
        m_port->clearError(); // the words are kept in m_error by handleError
        return false;
    }
    // DTR raised, RTS not, as the instrument has always seen them. A
    // pseudo-terminal has no modem lines; nothing depends on these.
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(false);
    m_port->clearError();
    return true;
}

void SerialLink::output(const QByteArray &line) {
    if (m_port->isOpen())
        m_port->write(line);
}

void SerialLink::readAvailable() {
    while (m_port->isOpen() && m_port->bytesAvailable() > 0)
        emit received(m_port->read(m_port->bytesAvailable()));
}

void SerialLink::handleError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError)
        return;
    m_error = m_port->errorString();
    m_errorCode = error;
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // A lost device (an unplugged adapter, a closed pseudo-terminal)
        // reports these over and over: close on the first and tell once.
        if (m_port->isOpen()) {
            m_problem = PortProblem::Unplugged;
            m_port->close();
            emit lost();
        }
        break;
    default:
        // Modem-line queries on a pseudo-terminal, a single failed read or
        // write: not fatal for the link.
        break;
    }
    m_port->clearError();
}
