// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu_flags.h"

MenuFlags::MenuFlags(QObject *parent)
    : QObject(parent) {
    m_enabled.fill(true);
    m_enabled[static_cast<int>(Menu::менюФайлЗапись)] = false;
    m_enabled[static_cast<int>(Menu::менюИзмерение)] = false;
}

void MenuFlags::setEnabled(Menu item, bool enabled) {
    m_enabled[static_cast<int>(item)] = enabled;
    emit changed(item, enabled);
}

bool MenuFlags::isAvailable(Menu item) const {
    switch (item) {
    case Menu::менюФайлЧтениеПлашки:
    case Menu::менюФайлПросмотр:
    case Menu::менюФайлЗапись:
    case Menu::менюФайлClip:
    case Menu::менюФайлВыход:
        return isEnabled(Menu::менюФайл) && isEnabled(item);
    default:
        return isEnabled(item);
    }
}
