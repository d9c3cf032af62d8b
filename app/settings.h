// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

class QSettings;

// The per-user settings: QSettings("TELKARO", "TELKARO"), section "Settings".
// The window position is kept in twips, as a single-precision number written
// in the operator's regional format.
namespace Настройки {

constexpr float ПозицияПоУмолчанию = 1000.0f;

// The store the program uses.
QString организация();
QString приложение();

// Number <-> text in the given regional format, without group separators.
QString ТекстПозиции(float twips, const QLocale &locale = QLocale());
// The position read from text; the default for text that is not a usable
// number (hand-edited, corrupt, beyond any screen).
float ПозицияИзТекста(const QString &text, const QLocale &locale = QLocale());

float ПрочитатьПозицию(QSettings &store, const QString &key);
void ЗаписатьПозицию(QSettings &store, const QString &key, float twips);

// The port to open: the first that is given of the command line's --port,
// $TELKARO_PORT, the key "Port" and the platform's first serial port.
QString ВыбратьПорт(QSettings &store, const QString &fromCommandLine = QString());
QString ПорядокПорта(const QString &fromCommandLine, const QString &fromEnvironment,
                     const QString &stored, const QString &first);
// The first port the system lists; COM1 or /dev/ttyS0 when it lists none.
QString ПервыйПорт();
// The "Port" key: what the port chooser stores (empty when none is stored).
QString СохранённыйПорт(QSettings &store);
void ЗаписатьПорт(QSettings &store, const QString &portName);

} // namespace Настройки
