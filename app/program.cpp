#include "program.h"

namespace {
const QString ТекстНеОтвечает = QStringLiteral("    Прибор не отвечает");
const QString ТекстПортЗанят = QStringLiteral("    Порт COM2 занят");
} // namespace

Program::Program(Модуль1 &module, QWidget *owner)
    : m(module)
    , commonDialog1(owner)
    , session(m, MSComm1, ОкноПечати, menus, ТаймерСвязи, clock)
    , plate(m, ОкноПечати, menus, commonDialog1) {
    ТаймерСвязи.setObjectName(QStringLiteral("ТаймерСвязи"));
    MSComm1.setObjectName(QStringLiteral("MSComm1"));
    // The link timer runs in the window's design state; loading switches it.
    ТаймерСвязи.setEnabled(true);
    QObject::connect(&ТаймерСвязи, &LinkTimer::tick, &ТаймерСвязи,
                     [this] { session.ТаймерСвязи_Timer(); });
    MSComm1.setCharacterHandler([this](char c) { session.MSComm1_OnComm(c); });
    QObject::connect(&MSComm1, &SerialLink::lost, &MSComm1, [this] { session.ПортПотерян(); });
}

bool Program::Загрузка(const QString &portName) {
    ТаймерСвязи.setEnabled(false);
    if (!MSComm1.open(portName)) {
        ОкноПечати.PSet(4, 3);
        ОкноПечати.Print(ТекстПортЗанят);
        return false;
    }
    drawHeadings();
    ОкноПечати.PSet(4, 3);
    ОкноПечати.Print(ТекстНеОтвечает);
    ТаймерСвязи.setEnabled(true);
    return true;
}

void Program::drawHeadings() {
    for (int r = 0; r < 8; ++r) {
        Строки.PSet(2, r);
        Строки.Print(QString(QChar(u'A' + r)));
    }
    for (int s = 0; s < 12; ++s) {
        Столбцы.PSet(2 * s, 2);
        // A number prints with a blank in its sign position: four blanks in all.
        Столбцы.Print(QStringLiteral("    %1").arg(s + 1));
    }
}
