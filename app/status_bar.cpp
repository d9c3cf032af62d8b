// SPDX-License-Identifier: GPL-3.0-or-later
#include "status_bar.h"

#include "twips.h"
#include "window_font.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace {
// To assistive technology the bar is a status bar, as it looks, though its
// panels sit at fixed places rather than in a QStatusBar's layout.
QAccessibleInterface *statusBarAccessible(const QString &key, QObject *object) {
    if (key == QLatin1String("StatusBar1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StatusBar);
    return nullptr;
}
} // namespace

StatusBar1::StatusBar1(QWidget *parent)
    : QWidget(parent)
    , m_clock(new QTimer(this)) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&statusBarAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAccessibleName(QStringLiteral("Строка состояния"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 2, 1, 1);
    layout->setSpacing(2);

    struct Panel {
        double width;
        double minimum;
    };
    const Panel sizes[4] = {{490, 490}, {4000, 4000}, {1800, 1440}, {1800, 1440}};
    const int height = twipsToPixels(315) - 3;
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(twipsToPixels(sizes[i].minimum));
        label->setFixedWidth(twipsToPixels(sizes[i].width));
        // Fixed in both directions, a panel whose text changes does not ask
        // the status bar to lay out its panels again.
        label->setFixedHeight(height);
        label->setObjectName(QStringLiteral("StatusBar1.Panel%1").arg(i + 1));
        // Opaque, in the status bar's own colour: when the time changes, the
        // panel alone repaints, not the window, the client area and the
        // status bar behind it.
        label->setAutoFillBackground(true);
        layout->addWidget(label);
        m_panels[i] = label;
    }
    layout->addStretch(1);

    const int inner = height - 2;
    m_panels[0]->setAlignment(Qt::AlignCenter);
    m_panels[0]->setPixmap(QPixmap(QStringLiteral(":/images/telkaro-16.png")));
    m_panels[1]->setAlignment(Qt::AlignCenter);
    m_panels[1]->setPixmap(QPixmap(QStringLiteral(":/images/lettering.png"))
                               .scaled(m_panels[1]->width() - 2, qMax(inner, 8),
                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_panels[0]->setAccessibleName(QStringLiteral("Значок ТЕЛКАРО"));
    m_panels[1]->setAccessibleName(QStringLiteral("ТЕЛКАРО"));
    // The date and time are read as their text; these say which is which.
    m_panels[2]->setAccessibleDescription(QStringLiteral("Дата"));
    m_panels[3]->setAccessibleDescription(QStringLiteral("Время"));
    // The date and time in the window's face, not bold: the same on every
    // system rather than whatever the platform's default font is.
    QFont regular = windowFont();
    regular.setBold(false);
    for (int i = 2; i < 4; ++i) {
        m_panels[i]->setIndent(4);
        m_panels[i]->setFont(regular);
    }

    m_clock->setSingleShot(true);
    m_clock->setTimerType(Qt::CoarseTimer);
    connect(m_clock, &QTimer::timeout, this, &StatusBar1::updateClock);
    updateClock();
}

void StatusBar1::updateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    m_panels[2]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[3]->setText(locale.toString(now.time(), QLocale::ShortFormat));
    // Wake just after the shown time changes, and no more often: once a
    // minute, or once a second where the short format shows seconds.
    const bool seconds = locale.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s'));
    const int period = seconds ? 1000 : 60'000;
    const int msIntoPeriod =
        seconds ? now.time().msec() : now.time().second() * 1000 + now.time().msec();
    m_clock->start(period - msIntoPeriod + 20);
}
