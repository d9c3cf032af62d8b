// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include "plate_commands.h"

#include "link/serial_link.h"
#include "link/session.h"

Program::Program(QWidget *owner)
    : commonDialog1(owner) {
    Session &session = link.session();
    presenter.listenTo(session);
    // The instrument answers, well or not: the link is no longer awaited.
    connect(&session, &Session::linked, this, &Program::answered);
    connect(&session, &Session::instrumentError, this, &Program::answered);
    connect(&session, &Session::portLost, this, &Program::portLost);
    connect(&watch, &PortWatch::present, this, &Program::portPresent);
    m_defaultPortHint.setSingleShot(true);
    connect(&m_defaultPortHint, &QTimer::timeout, this, &Program::defaultPortSilent);
}

bool Program::load(const QString &portName, bool chosenByDefault) {
    if (!link.open(portName)) {
        presenter.showPortBusy();
        tell(portName, link.MSComm1().problem(), PortEvent::OpenFailed);
        return false;
    }
    drawHeadings();
    link.session().start();
    if (chosenByDefault)
        m_defaultPortHint.start(defaultPortHintMs);
    return true;
}

void Program::measure(int stripCount) {
    if (link.session().measure(stripCount))
        presenter.offerSave();
    // Refused while the port is not open: the pane keeps the port message.
}

void Program::менюФайлЧтениеПлашки_Click() {
    if (link.session().readPlate())
        presenter.offerSave();
}

void Program::менюФайлClip_Click() {
    copyPlateText(presenter.PlateText());
}

void Program::менюФайлЗапись_Click() {
    warn(saveShownPlate(commonDialog1, presenter.shownPlate()));
}

void Program::менюФайлПросмотр_Click() {
    warn(viewDatFile(commonDialog1, presenter));
}

void Program::warn(const QString &text) {
    if (!text.isEmpty())
        emit warning(text);
}

void Program::answered() {
    if (m_defaultPortHintShown) {
        m_defaultPortHintShown = false; // it answers after all
        tell(QString(), QString());
    }
}

void Program::defaultPortSilent() {
    if (link.session().state() != SessionState::StateAwaitLink || !link.MSComm1().isOpen())
        return;
    m_defaultPortHintShown = true;
    const QString name = link.MSComm1().portName();
    tell(defaultPortLine(name), defaultPortTip(name));
}

void Program::drawHeadings() {
    for (int r = 0; r < plateRows; ++r) {
        Строки.PSet(2, r);
        Строки.Print(QString(QChar(u'A' + r)));
    }
    for (int s = 0; s < plateStrips; ++s) {
        Столбцы.PSet(2 * s, 2);
        // A number prints with a blank in its sign position: four blanks in all.
        Столбцы.Print(QStringLiteral("    %1").arg(s + 1));
    }
}

void Program::portLost() {
    m_defaultPortHintShown = false; // the loss says more than the hint
    const QString name = link.MSComm1().portName();
    m_toldProblem = PortProblem::Unplugged;
    tell(name, PortProblem::Unplugged, PortEvent::Lost);
    watch.start(name);
}

void Program::portPresent() {
    const QString name = watch.portName();
    if (!link.MSComm1().open(name)) {
        // There, but not usable yet (the system may still be setting its
        // permissions), or taken by another program: try again next time,
        // and say so once.
        if (link.MSComm1().problem() != m_toldProblem) {
            m_toldProblem = link.MSComm1().problem();
            tell(name, m_toldProblem, PortEvent::OpenFailed);
        }
        return;
    }
    watch.stop();
    m_toldProblem = PortProblem::None;
    tell(portBackLine(name), QString());
    link.session().handlePortBack();
}

void Program::tell(const QString &portName, PortProblem problem, PortEvent event) {
    tell(diagnosisLine(portName, problem, event), diagnosisTip(portName, problem, event));
}

void Program::tell(const QString &line, const QString &tip) {
    if (!line.isEmpty())
        emit said(line);
    emit tipChanged(tip);
}
