// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The status bar along the bottom edge: the program's icon, its lettering,
// and the date and time, which keep themselves current.
class StatusBar1 : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar1(QWidget *parent = nullptr);

    QLabel *panel(int index) const { return m_panels[index]; }

private:
    void updateClock();

    QLabel *m_panels[4];
    QTimer *m_clock;
};
