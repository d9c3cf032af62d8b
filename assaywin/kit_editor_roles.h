// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit_grid.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// What gives the grid's selected wells a role: one token for them all
// (Assign), or standards or samples numbered in order with their replicates
// (Fill in order). A refusal is shown in the panel, and the layout stays.
class RolePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RolePanel(KitGrid *grid, QWidget *parent = nullptr);

    // The controls' names offered besides NC and PC, in the order they came.
    QStringList extraControls() const { return m_extra; }
    void setExtraControls(const QStringList &names);

    void chooseRole(WellRole role);
    bool assign();
    bool fillInOrder();
    // Why the last assignment was refused; empty when it was not.
    QString message() const;

    QSpinBox *numberBox() const { return m_number; }
    QComboBox *controlBox() const { return m_control; }
    QSpinBox *replicatesBox() const { return m_replicates; }
    QComboBox *orderBox() const { return m_order; }
    QPushButton *fillButton() const { return m_fill; }

signals:
    void controlsChanged();

private:
    WellRole role() const;
    void roleChosen();
    bool refuse(const QString &why);

    KitGrid *m_grid;
    QComboBox *m_role;
    QSpinBox *m_number;
    QComboBox *m_control;
    QSpinBox *m_replicates;
    QComboBox *m_order;
    QPushButton *m_assign;
    QPushButton *m_fill;
    QLabel *m_message;
    QStringList m_extra;
};
