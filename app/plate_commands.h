// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class CommonDialog1;
class MenuFlags;
class PaneModel;
struct Модуль1;

// The File menu's commands on plate data: copy to the clipboard, save the
// last data block, view a data file.
class PlateCommands {
public:
    PlateCommands(Модуль1 &moduleState, PaneModel &ОкноПечати, MenuFlags &menus,
                  CommonDialog1 &dialog);

    void менюФайлClip_Click();
    void менюФайлЗапись_Click();
    void менюФайлПросмотр_Click();

    // How the operator is told that a command could not be carried out.
    // The window shows a message box; tests collect the texts.
    void setWarning(std::function<void(const QString &)> warn) { m_warn = std::move(warn); }

    // The folder the save dialog starts in.
    static QString dataFolder();

private:
    void showWarning(const QString &text);

    Модуль1 &m_moduleState;
    PaneModel &m_pane;
    MenuFlags &m_menus;
    CommonDialog1 &m_dialog;
    std::function<void(const QString &)> m_warn;
};
