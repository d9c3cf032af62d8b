// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_messages.h"

namespace {
// The reason in Russian, for the window; telkaro-read and the terminal line
// have it in English (portProblemText).
QString reasonTip(PortProblem problem) {
    switch (problem) {
    case PortProblem::NoName:
        return QStringLiteral("Имя порта не задано.");
    case PortProblem::NameTooLong:
        return QStringLiteral("Имя порта слишком длинное.");
    case PortProblem::NotFound:
        return QStringLiteral("Такого порта нет.");
    case PortProblem::Directory:
        return QStringLiteral("Это папка, а не последовательный порт.");
    case PortProblem::RegularFile:
        return QStringLiteral("Это обычный файл, а не последовательный порт.");
    case PortProblem::NotSerial:
        return QStringLiteral("Это не последовательный порт.");
    case PortProblem::Busy:
        return QStringLiteral("Порт занят другой программой.");
    case PortProblem::PermissionDenied:
        return QStringLiteral("Нет прав на доступ к порту.");
    case PortProblem::Unplugged:
        return QStringLiteral("Устройство отключено или закрыто.");
    case PortProblem::None:
    case PortProblem::Other:
        break;
    }
    return QStringLiteral("Система не открыла порт.");
}

QString chooseAdvice() {
    return QStringLiteral("Выберите порт прибора: запустите «telkaro --choose-port» или пункт "
                          "«Выбрать порт прибора» в меню программ.");
}

QString advice(PortProblem problem) {
    const QString choose = chooseAdvice();
    switch (problem) {
    case PortProblem::Busy:
        return QStringLiteral("Закройте другую программу, которая работает с этим портом "
                              "(терминал, вторую копию ТЕЛКАРО), и запустите программу снова.");
    case PortProblem::PermissionDenied:
#if defined(Q_OS_LINUX)
        return QStringLiteral(
            "Добавьте пользователя в группу dialout "
            "(sudo usermod -aG dialout $USER), выйдите из системы и войдите снова.");
#else
        return QStringLiteral("Попросите администратора дать доступ к порту.");
#endif
    case PortProblem::Unplugged:
        return QStringLiteral("Подключите прибор снова: программа сама откроет порт, "
                              "как только он появится.");
    case PortProblem::NotFound:
        return QStringLiteral("Проверьте, что кабель прибора подключён к компьютеру. ") + choose;
    default:
        return choose;
    }
}
} // namespace

QString diagnosisLine(const QString &portName, PortProblem problem, PortEvent event) {
    const QString what =
        event == PortEvent::Lost
            ? QStringLiteral("telkaro: port %1 was lost: %2; waiting for it to come back")
            : QStringLiteral("telkaro: cannot open port %1: %2");
    return what.arg(shownPortName(portName), portProblemText(problem));
}

QString diagnosisTip(const QString &portName, PortProblem problem, PortEvent event) {
    const QString what = event == PortEvent::Lost ? QStringLiteral("Порт %1 отключён.")
                                                  : QStringLiteral("Порт %1 не открыт.");
    return what.arg(shownPortName(portName)) + QLatin1Char(' ') + reasonTip(problem) +
           QLatin1Char('\n') + advice(problem);
}

QString defaultPortLine(const QString &portName) {
    return QStringLiteral("telkaro: no answer on port %1, which was chosen by default; choose "
                          "the instrument's port with telkaro --choose-port")
        .arg(shownPortName(portName));
}

QString defaultPortTip(const QString &portName) {
    return QStringLiteral("Прибор не отвечает на порту %1. Этот порт выбран по умолчанию: "
                          "порт прибора не задан.\n")
               .arg(shownPortName(portName)) +
           chooseAdvice();
}

QString portBackLine(const QString &portName) {
    return QStringLiteral("telkaro: port %1 is back").arg(shownPortName(portName));
}
