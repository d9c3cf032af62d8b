// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu_flags.h"

MenuFlags::MenuFlags() {
    m_enabled.fill(true);
    m_enabled[static_cast<int>(Меню::менюФайлЗапись)] = false;
    m_enabled[static_cast<int>(Меню::менюИзмерение)] = false;
}

void MenuFlags::setEnabled(Меню item, bool enabled) {
    m_enabled[static_cast<int>(item)] = enabled;
    if (m_changed)
        m_changed(item, enabled);
}

bool MenuFlags::isAvailable(Меню item) const {
    switch (item) {
    case Меню::менюФайлЧтениеПлашки:
    case Меню::менюФайлПросмотр:
    case Меню::менюФайлЗапись:
    case Меню::менюФайлClip:
    case Меню::менюФайлВыход:
        return isEnabled(Меню::менюФайл) && isEnabled(item);
    default:
        return isEnabled(item);
    }
}
