// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/command_port.h"
#include "port_problem.h"

#include <QObject>
#include <QSerialPort>

// The serial line to the instrument: 9600 baud, 8 data bits, no parity,
// one stop bit, no handshaking. Received bytes are handed on as they come.
class SerialLink : public QObject, public CommandPort {
    Q_OBJECT
public:
    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // Opens the port with the line settings; false when it cannot be opened,
    // with the reason in problem(). A name that cannot be a serial port (empty,
    // a folder, an ordinary file) is refused before anything is opened.
    bool open(const QString &portName);
    // The name last given to open(), as given.
    QString portName() const { return m_portName; }
    PortProblem problem() const { return m_problem; }
    // The system's own words for the last failure.
    QString errorString() const { return m_error; }

    bool isOpen() const override { return m_port->isOpen(); }
    void output(const QByteArray &line) override;

signals:
    // Bytes from the instrument, in order.
    void received(const QByteArray &bytes);
    // The port vanished while open (adapter unplugged, far end closed); the
    // port has been closed. Emitted once.
    void lost();

private:
    void readAvailable();
    void handleError(QSerialPort::SerialPortError error);

    QSerialPort *m_port; // a child
    QString m_portName;
    PortProblem m_problem = PortProblem::None;
    QString m_error;
    QSerialPort::SerialPortError m_errorCode = QSerialPort::NoError;
};
