// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_store.h"

SettingsStore::SettingsStore()
    : QSettings(QStringLiteral("TELKARO"), QStringLiteral("TELKARO")) {}

QString settingText(const QVariant &value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}
