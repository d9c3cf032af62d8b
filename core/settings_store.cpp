// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_store.h"

SettingsStore::SettingsStore()
    : QSettings(QStringLiteral("TELKARO"), QStringLiteral("TELKARO")) {}
