// SPDX-License-Identifier: GPL-3.0-or-later
#include "session_presenter.h"

#include "link/session.h"
#include "plate/dat_file.h"

namespace {
const QString linkedText = QStringLiteral("Связь с прибором установлена");
const QString measuringText = QStringLiteral("Измерение");
const QString readingText = QStringLiteral("Чтение плашки");
const QString errorText = QStringLiteral("Ошибка ");
const QString adviceText = QStringLiteral("Выключите прибор и включите через 20-30 сек");
const QString unpluggedText = QStringLiteral("    Порт отключён");
const QString noAnswerText = QStringLiteral("    Прибор не отвечает");
const QString portBusyText = QStringLiteral("    Порт COM2 занят");
constexpr int adviceIndent = 20;
} // namespace

SessionPresenter::SessionPresenter(QObject *parent)
    : QObject(parent) {}

void SessionPresenter::listenTo(Session &session) {
    connect(&session, &Session::noAnswer, this, &SessionPresenter::showNoAnswer);
    connect(&session, &Session::linked, this, &SessionPresenter::СообщениеСвязь);
    connect(&session, &Session::measurementStarted, this, &SessionPresenter::showMeasuring);
    connect(&session, &Session::readingPlate, this, &SessionPresenter::showReading);
    connect(&session, &Session::instrumentError, this, &SessionPresenter::СообщениеОшибка);
    connect(&session, &Session::plateReceived, this, &SessionPresenter::showPlate);
    connect(&session, &Session::portLost, this, &SessionPresenter::showUnplugged);
    connect(&session, &Session::portBack, this, &SessionPresenter::showPortBack);
}

void SessionPresenter::clearPane() {
    m_pane.Cls();
    m_shown = Plate();
}

// A status text alone in the pane, in the line of row D: the link's texts at
// x = 4, the commands' at x = 5.
void SessionPresenter::showStatus(double x, const QString &text) {
    clearPane();
    m_pane.PSet(x, 3);
    m_pane.Print(text);
}

void SessionPresenter::СообщениеСвязь() {
    showStatus(4, linkedText);
    m_menus.setEnabled(Menu::менюИзмерение, true);
}

void SessionPresenter::СообщениеОшибка(char status) {
    showStatus(5, errorText + (status == '\0' ? QString() : QString(QChar::fromLatin1(status))));
    m_pane.printLine();
    m_pane.Print(QString(adviceIndent, QLatin1Char(' ')) + adviceText);
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюИзмерение, true);
}

void SessionPresenter::showMeasuring() {
    m_menus.setEnabled(Menu::менюФайл, false);
    m_menus.setEnabled(Menu::менюИзмерение, false);
    showStatus(5, measuringText);
}

void SessionPresenter::showReading() {
    showStatus(5, readingText);
}

void SessionPresenter::showPlate(const Plate &plate) {
    m_pane.batch([&] {
        clearPane();
        for (qsizetype s = 0; s < plate.strips(); ++s) {
            for (int r = 0; r < plateRows; ++r) {
                m_pane.PSet(static_cast<double>(s), r);
                m_pane.Print(plate.valueText(s, r));
            }
        }
    });
    m_shown = plate;
    m_plateText = plate.text();
    m_menus.setEnabled(Menu::менюИзмерение, true);
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюФайлЗапись, true);
    m_menus.setEnabled(Menu::менюФайлПросмотр, true);
}

void SessionPresenter::showNoAnswer() {
    showStatus(4, noAnswerText);
}

void SessionPresenter::showUnplugged() {
    showStatus(4, unpluggedText);
    // The File menu stays the operator's (view, copy, exit); what needs the
    // instrument is not offered until the port is back.
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюИзмерение, false);
    m_menus.setEnabled(Menu::менюФайлЧтениеПлашки, false);
}

void SessionPresenter::showPortBusy() {
    m_pane.PSet(4, 3);
    m_pane.Print(portBusyText);
}

void SessionPresenter::showPortBack() {
    // As after loading: nothing to save until a new block arrives.
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюФайлЧтениеПлашки, true);
    m_menus.setEnabled(Menu::менюФайлПросмотр, true);
    m_menus.setEnabled(Menu::менюФайлЗапись, false);
    m_menus.setEnabled(Menu::менюИзмерение, false);
}

void SessionPresenter::offerSave() {
    m_menus.setEnabled(Menu::менюФайлЗапись, true);
}

void SessionPresenter::showFile(const DatFileRead &read, const QByteArray &content) {
    m_pane.batch([&] {
        for (const DatFileRead::Field &field : read.fields) {
            m_pane.PSet(static_cast<double>(field.s), field.r);
            m_pane.printJoined(field.text);
        }
    });
    if (!read.complete)
        return;
    m_plateText = QString::fromLatin1(content);
    m_menus.setEnabled(Menu::менюФайлЗапись, false);
}
