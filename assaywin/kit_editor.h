// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assay/kit.h"

#include <QDialog>
#include <QMessageBox>

#include <functional>
#include <optional>

class FormulaField;
class KitGrid;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class RolePanel;
class RuleList;
class TokenTables;

// The kit editor: the layout as an 8 x 12 grid whose wells are selected with
// the mouse or the keyboard and given a role, the standards' concentrations
// and the samples' names and dilutions in tables, the evaluation and the
// validity rules, each formula checked as it is typed.
class KitEditor : public QDialog {
    Q_OBJECT
public:
    // Writes the kit where it belongs; an empty string when it was written,
    // else why not (shown, and the editor stays open).
    using SaveFunction = std::function<QString(const Kit &)>;
    // Asked when the editor closes with changes: Save, Discard or Cancel.
    using SaveQuestion = std::function<QMessageBox::StandardButton()>;
    // Shows why the kit was not saved.
    using Warning = std::function<void(const QString &)>;

    KitEditor(const Kit &kit, SaveFunction save, QWidget *parent = nullptr);
    ~KitEditor() override;

    // The kit as edited so far.
    Kit kit() const;
    bool isModified() const;

    // What keeps the kit from being saved; empty when nothing does.
    QStringList problems() const;
    // What Save does: the kit checked, then written by the save function;
    // on success the editor is accepted. False, with the reason shown, else.
    bool save();

    // In place of the message boxes (tests; the default asks the operator).
    void setSaveQuestion(SaveQuestion ask) { m_ask = std::move(ask); }
    void setWarning(Warning warn) { m_warn = std::move(warn); }

    KitGrid *grid() const { return m_grid; }
    RolePanel *rolePanel() const { return m_roles; }
    TokenTables *tables() const { return m_tables; }
    FormulaField *cutoffField() const { return m_cutoffFormula; }
    RuleList *ruleList() const { return m_rules; }

public slots:
    // Cancel, Escape and the window's close button: asks first when the
    // kit has changes.
    void reject() override;

private:
    QWidget *kitFields();
    QWidget *evaluation();
    void load(const Kit &kit);
    QStringList controls() const;
    void layoutChanged();
    void evaluationChosen();
    QMessageBox::StandardButton askToSave();

    SaveFunction m_save;
    SaveQuestion m_ask;
    Warning m_warn;
    QByteArray m_saved; // the kit file of the kit as it was loaded or saved

    QLineEdit *m_name;
    QLineEdit *m_units;
    QCheckBox *m_subtractBlank;
    QCheckBox *m_hasCvLimit;
    QDoubleSpinBox *m_cvLimit;
    KitGrid *m_grid;
    RolePanel *m_roles;
    TokenTables *m_tables;
    QRadioButton *m_byCutoff;
    QRadioButton *m_byCurve;
    QGroupBox *m_cutoffBox;
    QGroupBox *m_curveBox;
    FormulaField *m_cutoffFormula;
    QDoubleSpinBox *m_greyZone;
    QComboBox *m_positive;
    QComboBox *m_model;
    QComboBox *m_weighting;
    RuleList *m_rules;
    // The kit's figures as given, while the spin boxes that show them
    // rounded are not touched.
    double m_greyZoneFraction = 0;
    double m_cvLimitValue = 15;
};
