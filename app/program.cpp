// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include <cstdio>

namespace {
const QString portBusyText = QStringLiteral("    Порт COM2 занят");
} // namespace

Program::Program(Модуль1 &state, QWidget *owner)
    : moduleState(state)
    , link(state)
    , commonDialog1(owner)
    , plate(moduleState, ОкноПечати, menus, commonDialog1) {
    link.afterCharacter = [this](char) {
        if (m_defaultPortHintShown && moduleState.SessionState != StateAwaitLink) {
            m_defaultPortHintShown = false; // it answers after all
            tell(QString(), QString());
        }
    };
    m_defaultPortHint.setSingleShot(true);
    QObject::connect(&m_defaultPortHint, &QTimer::timeout, &m_defaultPortHint,
                     [this] { defaultPortSilent(); });
    link.afterPortLost = [this] { portLost(); };
    QObject::connect(&watch, &PortWatch::present, &watch, [this] { portPresent(); });
    writeLine = [](const QString &line) {
        std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stderr);
        std::fflush(stderr);
    };
}

bool Program::load(const QString &portName, bool chosenByDefault) {
    if (!link.open(portName)) {
        ОкноПечати.PSet(4, 3);
        ОкноПечати.Print(portBusyText);
        tell(portName, MSComm1.problem(), PortEvent::OpenFailed);
        return false;
    }
    drawHeadings();
    link.start();
    if (chosenByDefault)
        m_defaultPortHint.start(defaultPortHintMs);
    return true;
}

void Program::defaultPortSilent() {
    if (moduleState.SessionState != StateAwaitLink || !MSComm1.isOpen())
        return;
    m_defaultPortHintShown = true;
    tell(defaultPortLine(MSComm1.portName()), defaultPortTip(MSComm1.portName()));
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
    const QString name = MSComm1.portName();
    m_toldProblem = PortProblem::Unplugged;
    tell(name, PortProblem::Unplugged, PortEvent::Lost);
    watch.start(name);
}

void Program::portPresent() {
    const QString name = watch.portName();
    if (!MSComm1.open(name)) {
        // There, but not usable yet (the system may still be setting its
        // permissions), or taken by another program: try again next time,
        // and say so once.
        if (MSComm1.problem() != m_toldProblem) {
            m_toldProblem = MSComm1.problem();
            tell(name, m_toldProblem, PortEvent::OpenFailed);
        }
        return;
    }
    watch.stop();
    m_toldProblem = PortProblem::None;
    tell(portBackLine(name), QString());
    session.onPortBack();
}

void Program::tell(const QString &portName, PortProblem problem, PortEvent event) {
    tell(diagnosisLine(portName, problem, event), diagnosisTip(portName, problem, event));
}

void Program::tell(const QString &line, const QString &tip) {
    if (writeLine && !line.isEmpty())
        writeLine(line);
    if (showTip)
        showTip(tip);
}
