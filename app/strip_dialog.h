// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

// The strip count dialog "Число стрипов": the number of strips the next
// measurement covers. One instance at most; OK hides it and tells the
// choice, the title bar's close button destroys it, leaving the strip count
// as it was. Its object name is the system's, frmНастройка.
class StripCountDialog : public QWidget {
    Q_OBJECT
public:
    // stripCount: the count chosen so far, which the list shows.
    StripCountDialog(int stripCount, QWidget *owner);

    QComboBox *комбоСтрип() const { return m_combo; }
    QPushButton *кНастройкаОК() const { return m_ok; }

signals:
    void stripCountChosen(int stripCount);

private:
    void Form_Load();
    void кНастройкаОК_Click();

    int m_stripCount;
    QComboBox *m_combo;
    QPushButton *m_ok;
};
