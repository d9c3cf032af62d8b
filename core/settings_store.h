// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

// The program's per-user settings: organisation and application "TELKARO"
// (~/.config/TELKARO/TELKARO.conf on Linux, HKEY_CURRENT_USER\Software\TELKARO
// on Windows), section "Settings". Everything that reads or writes them
// makes its store this way.
class SettingsStore : public QSettings {
    Q_OBJECT
public:
    SettingsStore();
};

// A setting's value as the text it was written as: a hand-edited value with
// a comma and no quotes ("MainLeft=1234,5") reads back as a list, joined
// again here.
QString settingText(const QVariant &value);
