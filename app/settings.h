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

// The port to open: $TELKARO_PORT when set, else key "Port", else the
// platform's first serial port.
QString ВыбратьПорт(QSettings &store);
QString ПервыйПорт();

} // namespace Настройки
