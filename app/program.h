// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common_dialog.h"
#include "pane_model.h"
#include "port_messages.h"
#include "session_presenter.h"

#include "core/plate_geometry.h"
#include "link/instrument_link.h"
#include "link/port_watch.h"

#include <QObject>
#include <QTimer>

class QWidget;

// The classic window's working parts, owned in one place: the instrument
// link and its session, the presenter that shows what the session tells,
// the headings' drawings, the file dialog and the watch for a lost port.
// The main window shows them and forwards its widgets' events here.
class Program : public QObject {
    Q_OBJECT
public:
    // owner: the window that the file dialogs belong to.
    explicit Program(QWidget *owner = nullptr);

    // The non-visual part of loading the window: open the port, then draw
    // the headings, show the first link status and start the link timer;
    // when the port cannot be opened, show the busy text instead and leave
    // the timer off. False in that case.
    // Each failure is also said (said) with the port's name and the reason,
    // and the pane's tool tip (tipChanged) says the same with what to do.
    // chosenByDefault: nothing named the port; when the instrument stays
    // silent there for defaultPortHintMs, the tool tip says so and how to
    // choose another.
    bool load(const QString &portName, bool chosenByDefault = false);
    int defaultPortHintMs = 10000;

    // The operator's commands.
    void measure(int stripCount);
    void менюФайлЧтениеПлашки_Click();
    void менюФайлClip_Click();
    void менюФайлЗапись_Click();
    void менюФайлПросмотр_Click();

    InstrumentLink link;
    SessionPresenter presenter;
    // User scales: a unit a row, two a strip in the headings.
    PaneModel Строки{1, 0, 3, plateRows};
    PaneModel Столбцы{0, 1, 2 * plateStrips, 5};
    CommonDialog1 commonDialog1;
    // After the port is lost: looks once a second for the same name.
    PortWatch watch;

signals:
    // The results pane's tool tip (empty: none).
    void tipChanged(const QString &tip);
    // One line for the terminal.
    void said(const QString &line);
    // A command could not be carried out: what to tell the operator.
    void warning(const QString &text);

private:
    void drawHeadings();
    void portLost();
    void portPresent();
    void defaultPortSilent();
    void answered();
    // A diagnosis of the port, to both places.
    void tell(const QString &portName, PortProblem problem, PortEvent event);
    void tell(const QString &line, const QString &tip);
    void warn(const QString &text);

    // What was last said about the lost port, so a port that stays refused
    // is reported once, not every second.
    PortProblem m_toldProblem = PortProblem::None;
    QTimer m_defaultPortHint;
    bool m_defaultPortHintShown = false;
};
