// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>

// The main window's menu items whose enabled flags the program switches.
enum class Menu {
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
constexpr int menuCount = 9;

// The enabled flags of the menu items, starting in the window's design state:
// everything available except Save and Measurement. The window mirrors every
// change onto its actions.
class MenuFlags : public QObject {
    Q_OBJECT
public:
    explicit MenuFlags(QObject *parent = nullptr);

    void setEnabled(Menu item, bool enabled);
    bool isEnabled(Menu item) const { return m_enabled[static_cast<int>(item)]; }

    // Whether the operator can choose the item: a disabled File menu makes
    // every item under it unavailable.
    bool isAvailable(Menu item) const;

signals:
    void changed(Menu item, bool enabled);

private:
    std::array<bool, menuCount> m_enabled;
};
