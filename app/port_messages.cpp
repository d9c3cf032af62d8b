// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_messages.h"

namespace {
constexpr qsizetype maxShownLength = 80;

// The reason in the terminal's English and in the tool tip's Russian.
struct Reason {
    QString english;
    QString russian;
};

Reason reason(PortProblem problem) {
    switch (problem) {
    case PortProblem::None:
        return {QStringLiteral("no reason given"), QStringLiteral("Система не открыла порт.")};
    case PortProblem::NoName:
        return {QStringLiteral("no port name was given"), QStringLiteral("Имя порта не задано.")};
    case PortProblem::NameTooLong:
        return {QStringLiteral("the name is too long to be a port"),
                QStringLiteral("Имя порта слишком длинное.")};
    case PortProblem::NotFound:
        return {QStringLiteral("no such port"), QStringLiteral("Такого порта нет.")};
    case PortProblem::Directory:
        return {QStringLiteral("it is a folder, not a serial port"),
                QStringLiteral("Это папка, а не последовательный порт.")};
    case PortProblem::RegularFile:
        return {QStringLiteral("it is an ordinary file, not a serial port"),
                QStringLiteral("Это обычный файл, а не последовательный порт.")};
    case PortProblem::NotSerial:
        return {QStringLiteral("it is not a serial port"),
                QStringLiteral("Это не последовательный порт.")};
    case PortProblem::Busy:
        return {QStringLiteral("in use by another program"),
                QStringLiteral("Порт занят другой программой.")};
    case PortProblem::PermissionDenied:
        return {QStringLiteral("permission denied"), QStringLiteral("Нет прав на доступ к порту.")};
    case PortProblem::Unplugged:
        return {QStringLiteral("the device was unplugged or closed"),
                QStringLiteral("Устройство отключено или закрыто.")};
    case PortProblem::Other:
        break;
    }
    return {QStringLiteral("the system refused to open it"),
            QStringLiteral("Система не открыла порт.")};
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

QString shownPortName(const QString &portName) {
    QString shown;
    for (const QChar c : portName.left(maxShownLength))
        shown +=
            c.isPrint() ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    if (portName.size() > maxShownLength)
        shown += QStringLiteral("…");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString diagnosisLine(const QString &portName, PortProblem problem, PortEvent event) {
    const QString what =
        event == PortEvent::Lost
            ? QStringLiteral("telkaro: port %1 was lost: %2; waiting for it to come back")
            : QStringLiteral("telkaro: cannot open port %1: %2");
    return what.arg(shownPortName(portName), reason(problem).english);
}

QString diagnosisTip(const QString &portName, PortProblem problem, PortEvent event) {
    const QString what = event == PortEvent::Lost ? QStringLiteral("Порт %1 отключён.")
                                                  : QStringLiteral("Порт %1 не открыт.");
    return what.arg(shownPortName(portName)) + QLatin1Char(' ') + reason(problem).russian +
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
