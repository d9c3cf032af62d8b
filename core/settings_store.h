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
