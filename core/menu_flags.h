// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

// The main window's menu items whose enabled flags the program switches.
enum class Меню {
    менюФайл,
    менюФайлЧтениеПлашки,
    менюФайлПросмотр,
    менюФайлЗапись,
    менюФайлClip,
    менюФайлВыход,
    менюНастройка,
    менюИзмерение,
    менюПомощь,
};
constexpr int ЧислоМеню = 9;

// The enabled flags of the menu items, starting in the window's design state:
// everything available except Save and Measurement. The window mirrors every
// change onto its actions.
class MenuFlags {
public:
    MenuFlags();

    void setEnabled(Меню item, bool enabled);
    bool isEnabled(Меню item) const { return m_enabled[static_cast<int>(item)]; }

    // Whether the operator can choose the item: a disabled File menu makes
    // every item under it unavailable.
    bool isAvailable(Меню item) const;

    void setChangeHandler(std::function<void(Меню, bool)> handler) {
        m_changed = std::move(handler);
    }

private:
    std::array<bool, ЧислоМеню> m_enabled;
    std::function<void(Меню, bool)> m_changed;
};
