// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
struct Модуль1;

// The strip count dialog "Число стрипов": the number of strips the next
// measurement covers. One instance at most; OK hides it, the title bar's
// close button destroys it, leaving the strip count as it was. Its object
// name is the system's, frmНастройка.
class StripCountDialog : public QWidget {
    Q_OBJECT
public:
    StripCountDialog(Модуль1 &moduleState, QWidget *owner);

    QComboBox *комбоСтрип() const { return m_combo; }
    QPushButton *кНастройкаОК() const { return m_ok; }

private:
    void Form_Load();
    void кНастройкаОК_Click();

    Модуль1 &m_moduleState;
    QComboBox *m_combo;
    QPushButton *m_ok;
};
