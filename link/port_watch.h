// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Watches for a port that went away to be there again: one look a second,
// by a timer, so the program sleeps in between.
class PortWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int periodMs = 1000;

    explicit PortWatch(QObject *parent = nullptr);

    // Starts looking for this name, and only this one.
    void start(const QString &portName);
    void stop();
    bool isWatching() const { return m_timer.isActive(); }
    QString portName() const { return m_portName; }

    // How a look is made; tests count or steer them.
    void setProbe(std::function<bool(const QString &)> probe) { m_probe = std::move(probe); }

signals:
    // A look found the port; the watch goes on until it is stopped.
    void present();

private:
    void look();

    QTimer m_timer;
    QString m_portName;
    std::function<bool(const QString &)> m_probe;
};

// Whether a port of this name is there now: its device path exists, or, where
// ports are not files, the system lists it.
bool portIsThere(const QString &portName);
