// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for TELKARO's start-up, memory and idle figures: the least a Qt
// Widgets program with the same outline does. A main window with a menu bar, a
// status bar and an empty client area of TELKARO's size, the serial port of
// TELKARO_PORT opened at 9600 8N1, and a 500 ms timer, started once the port is
// open and before the window is shown, that writes the status poll "E". Replies
// are read and dropped.
#include <QApplication>
#include <QByteArray>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSerialPort>
#include <QStatusBar>
#include <QTimer>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telkaro-bench-baseline"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("baseline"));
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QObject::connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, &app,
                     &QApplication::quit);
    window.menuBar()->addAction(QStringLiteral("&Measure"));
    auto *client = new QWidget(&window);
    client->setFixedSize(546, 219); // TELKARO's client area at 96 dpi
    window.setCentralWidget(client);
    window.statusBar()->showMessage(QStringLiteral("ready"));

    QSerialPort port;
    port.setPortName(qEnvironmentVariable("TELKARO_PORT"));
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    QObject::connect(&port, &QSerialPort::readyRead, &port, [&port] { port.readAll(); });
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(500);
    QObject::connect(&poll, &QTimer::timeout, &port, [&port] { port.write("E\r\n"); });
    if (port.open(QIODevice::ReadWrite))
        poll.start();
    else
        window.statusBar()->showMessage(port.errorString());

    window.show();
    return app.exec();
}
