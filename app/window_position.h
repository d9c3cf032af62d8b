// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

class QSettings;

// The window position in the settings store (SettingsStore), section
// "Settings". It is kept in twips, as a single-precision number written
// in the operator's regional format.
namespace windowPosition {

constexpr float defaultPosition = 1000.0f;

// Number <-> text in the given regional format, without group separators.
QString positionText(float twips, const QLocale &locale = QLocale());
// The position read from text; the default for text that is not a usable
// number (hand-edited, corrupt, beyond any screen).
float positionFromText(const QString &text, const QLocale &locale = QLocale());

float readPosition(QSettings &store, const QString &key);
void writePosition(QSettings &store, const QString &key, float twips);

} // namespace windowPosition
