// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for TELKARO's idle figures: a plain Qt Widgets window whose
// status bar shows the time, changed once a second (the locale's short format
// with seconds, as in the C locale, whatever the locale), beside an empty
// client area of TELKARO's size. Nothing else runs.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telkaro-bench-clock"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("clock"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto *client = new QWidget(&window);
    client->setFixedSize(546, 219); // TELKARO's client area at 96 dpi
    window.setCentralWidget(client);
    auto *date = new QLabel(&window);
    auto *time = new QLabel(&window);
    window.statusBar()->addPermanentWidget(date);
    window.statusBar()->addPermanentWidget(time);

    QTimer tick;
    tick.setTimerType(Qt::CoarseTimer);
    auto show = [&] {
        const QDateTime now = QDateTime::currentDateTime();
        const QLocale locale;
        date->setText(locale.toString(now.date(), QLocale::ShortFormat));
        time->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
        tick.start(1000 - now.time().msec() + 20);
    };
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, &window, show);
    show();

    window.show();
    return app.exec();
}
