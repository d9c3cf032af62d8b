// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_position.h"

#include "twips.h"

#include "core/settings_store.h"

#include <QSettings>

#include <cmath>

namespace windowPosition {

namespace {
const QString section = QStringLiteral("Settings");

// X11 and Windows keep window coordinates in 16 bits; a value beyond that is
// no position at all.
constexpr double maxPositionPx = 32767;

} // namespace

QString positionText(float twips, const QLocale &locale) {
    QLocale format = locale;
    format.setNumberOptions(QLocale::OmitGroupSeparator);
    // Seven significant digits, as a single-precision number is usually
    // written; nine where seven would not read back as the same number.
    const QString seven = format.toString(static_cast<double>(twips), 'g', 7);
    bool ok = false;
    if (format.toFloat(seven, &ok) == twips && ok)
        return seven;
    return format.toString(static_cast<double>(twips), 'g', 9);
}

float positionFromText(const QString &text, const QLocale &locale) {
    bool ok = false;
    float value = locale.toFloat(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toFloat(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::abs(value * pixelsPerTwip()) > maxPositionPx)
        return defaultPosition;
    return value;
}

float readPosition(QSettings &store, const QString &key) {
    const QString path = section + QLatin1Char('/') + key;
    if (!store.contains(path))
        return defaultPosition;
    return positionFromText(settingText(store.value(path)));
}

void writePosition(QSettings &store, const QString &key, float twips) {
    store.setValue(section + QLatin1Char('/') + key, positionText(twips));
}

} // namespace windowPosition
