// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_editor.h"

#include "kit_editor_formulas.h"
#include "kit_editor_roles.h"
#include "kit_editor_tables.h"
#include "kit_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString blankToken = QStringLiteral("BLK");

QLabel *buddy(const QString &text, QWidget *widget) {
    auto *label = new QLabel(text);
    label->setBuddy(widget);
    return label;
}
} // namespace

KitEditor::KitEditor(const Kit &kit, SaveFunction save, QWidget *parent)
    : QDialog(parent)
    , m_save(std::move(save))
    , m_name(new QLineEdit(this))
    , m_units(new QLineEdit(this))
    , m_subtractBlank(new QCheckBox(tr("Subtract the &blank"), this))
    , m_hasCvLimit(new QCheckBox(tr("CV l&imit:"), this))
    , m_cvLimit(new QDoubleSpinBox(this))
    , m_grid(new KitGrid(this))
    , m_roles(new RolePanel(m_grid, this))
    , m_tables(new TokenTables(this))
    , m_byCutoff(new QRadioButton(tr("&Cut-off (qualitative)"), this))
    , m_byCurve(new QRadioButton(tr("Standard cur&ve (quantitative)"), this))
    , m_cutoffBox(new QGroupBox(this))
    , m_curveBox(new QGroupBox(this))
    , m_cutoffFormula(new FormulaField(this))
    , m_greyZone(new QDoubleSpinBox(this))
    , m_positive(new QComboBox(this))
    , m_model(new QComboBox(this))
    , m_weighting(new QComboBox(this))
    , m_rules(new RuleList(this)) {
    setObjectName(QStringLiteral("kitEditor"));
    setWindowTitle(tr("Kit editor"));
    setSizeGripEnabled(true);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("kitTabs"));
    tabs->setAccessibleName(tr("Tables and evaluation of the kit"));
    tabs->addTab(m_tables->standards(), tr("Standards"));
    tabs->addTab(m_tables->samples(), tr("Samples"));
    tabs->addTab(evaluation(), tr("Evaluation"));
    tabs->addTab(m_rules, tr("Validity rules"));
    m_rules->setObjectName(QStringLiteral("rules"));
    m_rules->setAccessibleName(tr("Validity rules"));

    auto *plate = new QVBoxLayout;
    plate->addWidget(buddy(tr("Plate &layout:"), m_grid));
    plate->addWidget(m_grid, 1);
    plate->addWidget(m_roles);
    auto *middle = new QHBoxLayout;
    middle->addLayout(plate, 3);
    middle->addWidget(tabs, 2);

    auto *saveButton = new QPushButton(tr("Sa&ve"), this);
    saveButton->setObjectName(QStringLiteral("save"));
    saveButton->setAccessibleName(tr("Save the kit"));
    auto *cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancel"));
    cancelButton->setAccessibleName(tr("Close the editor"));
    // Enter belongs to the grid and the fields: no button is the default.
    for (QPushButton *button : {saveButton, cancelButton})
        button->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(kitFields());
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &KitEditor::save);
    connect(cancelButton, &QPushButton::clicked, this, &KitEditor::reject);
    connect(m_grid, &KitGrid::tokensChanged, this, &KitEditor::layoutChanged);
    connect(m_roles, &RolePanel::controlsChanged, this, &KitEditor::layoutChanged);

    load(kit);
    m_saved = kitJson(this->kit());
    // Room for the grid and every tab's heading.
    resize(sizeHint().expandedTo(QSize(1160, 560)));
    m_grid->setFocus();
}

KitEditor::~KitEditor() = default;

QWidget *KitEditor::kitFields() {
    auto *fields = new QWidget(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setAccessibleName(tr("Name of the kit"));
    m_units->setObjectName(QStringLiteral("units"));
    m_units->setAccessibleName(tr("Units of the concentrations"));
    m_units->setPlaceholderText(tr("e.g. ng/ml"));
    m_subtractBlank->setObjectName(QStringLiteral("subtractBlank"));
    m_subtractBlank->setAccessibleName(tr("Subtract the blank from every well"));
    m_hasCvLimit->setObjectName(QStringLiteral("hasCvLimit"));
    m_hasCvLimit->setAccessibleName(tr("Flag replicates above a CV limit"));
    m_cvLimit->setObjectName(QStringLiteral("cvLimit"));
    m_cvLimit->setAccessibleName(tr("CV limit, %"));
    m_cvLimit->setRange(0.1, 1000);
    m_cvLimit->setDecimals(1);
    m_cvLimit->setSuffix(QStringLiteral(" %"));
    connect(m_hasCvLimit, &QCheckBox::toggled, m_cvLimit, &QWidget::setEnabled);
    connect(m_cvLimit, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { m_cvLimitValue = value; });

    auto *layout = new QHBoxLayout(fields);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buddy(tr("&Name:"), m_name));
    layout->addWidget(m_name, 3);
    layout->addWidget(buddy(tr("&Units:"), m_units));
    layout->addWidget(m_units, 1);
    layout->addWidget(m_subtractBlank);
    layout->addWidget(m_hasCvLimit);
    layout->addWidget(m_cvLimit);
    return fields;
}

QWidget *KitEditor::evaluation() {
    auto *page = new QWidget(this);
    m_byCutoff->setObjectName(QStringLiteral("byCutoff"));
    m_byCutoff->setAccessibleName(tr("Evaluate by a cut-off"));
    m_byCurve->setObjectName(QStringLiteral("byCurve"));
    m_byCurve->setAccessibleName(tr("Evaluate by a standard curve"));

    m_cutoffFormula->setObjectName(QStringLiteral("cutoffFormula"));
    m_cutoffFormula->setName(tr("Cut-off formula"));
    m_greyZone->setObjectName(QStringLiteral("greyZone"));
    m_greyZone->setAccessibleName(tr("Grey zone, % of the cut-off either side"));
    m_greyZone->setRange(0, 99.9);
    m_greyZone->setDecimals(1);
    m_greyZone->setSuffix(QStringLiteral(" %"));
    m_positive->setObjectName(QStringLiteral("positive"));
    m_positive->setAccessibleName(tr("Positive when the density is above or below the cut-off"));
    m_positive->addItem(tr("above the cut-off"), true);
    m_positive->addItem(tr("below the cut-off"), false);
    connect(m_greyZone, &QDoubleSpinBox::valueChanged, this,
            [this](double percent) { m_greyZoneFraction = percent / 100; });
    auto *cutoff = new QFormLayout(m_cutoffBox);
    cutoff->addRow(buddy(tr("Cut-off &formula:"), m_cutoffFormula->edit()), m_cutoffFormula);
    cutoff->addRow(buddy(tr("&Grey zone:"), m_greyZone), m_greyZone);
    cutoff->addRow(buddy(tr("Positive &when the density is:"), m_positive), m_positive);

    m_model->setObjectName(QStringLiteral("model"));
    m_model->setAccessibleName(tr("Model of the curve"));
    m_model->addItem(tr("Linear"), int(CurveModel::Linear));
    m_model->addItem(tr("Log-linear"), int(CurveModel::LogLinear));
    m_model->addItem(tr("Point to point"), int(CurveModel::PointToPoint));
    m_model->addItem(QStringLiteral("4PL"), int(CurveModel::FourPL));
    m_model->addItem(QStringLiteral("5PL"), int(CurveModel::FivePL));
    m_weighting->setObjectName(QStringLiteral("weighting"));
    m_weighting->setAccessibleName(tr("Weighting of the points"));
    m_weighting->addItem(tr("None"), int(Weighting::None));
    m_weighting->addItem(QStringLiteral("1/y"), int(Weighting::InverseY));
    m_weighting->addItem(QStringLiteral("1/y\u00b2"), int(Weighting::InverseY2));
    auto *curve = new QFormLayout(m_curveBox);
    curve->addRow(buddy(tr("&Model:"), m_model), m_model);
    curve->addRow(buddy(tr("Weigh&ting:"), m_weighting), m_weighting);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_byCutoff);
    layout->addWidget(m_cutoffBox);
    layout->addWidget(m_byCurve);
    layout->addWidget(m_curveBox);
    layout->addStretch();
    connect(m_byCutoff, &QRadioButton::toggled, this, &KitEditor::evaluationChosen);
    return page;
}

void KitEditor::load(const Kit &kit) {
    m_name->setText(kit.name);
    m_units->setText(kit.units);
    m_subtractBlank->setChecked(kit.subtractBlank);
    m_hasCvLimit->setChecked(kit.cvLimit.has_value());
    m_cvLimit->setEnabled(kit.cvLimit.has_value());
    m_cvLimit->setValue(kit.cvLimit.value_or(15));
    m_cvLimitValue = kit.cvLimit.value_or(15);

    m_tables->load(kit);
    QStringList extra = kit.controls;
    extra.removeAll(QStringLiteral("NC"));
    extra.removeAll(QStringLiteral("PC"));
    m_roles->setExtraControls(extra);

    const Kit::Cutoff cutoff = kit.cutoff.value_or(Kit::Cutoff{});
    m_cutoffFormula->setFormula(cutoff.formula);
    m_greyZone->setValue(cutoff.greyZone * 100);
    m_greyZoneFraction = cutoff.greyZone;
    m_positive->setCurrentIndex(cutoff.positiveAbove ? 0 : 1);
    // A kit without a curve offers the struct's own defaults.
    const auto curve = kit.curve.value_or(decltype(kit.curve)::value_type{});
    m_model->setCurrentIndex(m_model->findData(int(curve.model)));
    m_weighting->setCurrentIndex(m_weighting->findData(int(curve.weighting)));
    (kit.curve ? m_byCurve : m_byCutoff)->setChecked(true);
    evaluationChosen();
    m_rules->setRules(kit.validity);

    KitLayout layout = kit.layout;
    for (auto &row : layout)
        for (QString &token : row)
            if (token.isEmpty())
                token = QStringLiteral("-");
    m_grid->setPlateLayout(layout); // and the tables and formulas follow
}

void KitEditor::evaluationChosen() {
    m_cutoffBox->setEnabled(m_byCutoff->isChecked());
    m_curveBox->setEnabled(!m_byCutoff->isChecked());
}

// NC and PC always, then the others the layout has, as they came.
QStringList KitEditor::controls() const {
    QStringList used;
    const KitLayout layout = m_grid->plateLayout();
    for (int s = 0; s < plateStrips; ++s)
        for (int r = 0; r < plateRows; ++r)
            if (KitTokens::roleOf(layout[r][s]) == WellRole::Control &&
                !used.contains(layout[r][s]))
                used.append(layout[r][s]);
    QStringList controls{QStringLiteral("NC"), QStringLiteral("PC")};
    for (const QString &name : m_roles->extraControls() + used)
        if (used.contains(name) && !controls.contains(name))
            controls.append(name);
    return controls;
}

void KitEditor::layoutChanged() {
    Kit layout;
    layout.layout = m_grid->plateLayout();
    layout.controls = controls();
    const QStringList tokens = layout.tokens();
    m_tables->follow(tokens);
    m_cutoffFormula->setTokens(tokens);
    m_rules->setTokens(tokens);
}

Kit KitEditor::kit() const {
    Kit kit;
    kit.name = m_name->text().trimmed();
    kit.units = m_units->text().trimmed();
    kit.layout = m_grid->plateLayout();
    kit.controls = controls();
    m_tables->fillIn(kit);
    kit.subtractBlank = m_subtractBlank->isChecked();
    if (m_byCutoff->isChecked())
        kit.cutoff = Kit::Cutoff{m_cutoffFormula->formula(), m_greyZoneFraction,
                                 m_positive->currentData().toBool()};
    else
        kit.curve = {{CurveModel(m_model->currentData().toInt()),
                      Weighting(m_weighting->currentData().toInt())}};
    kit.validity = m_rules->rules();
    if (m_hasCvLimit->isChecked())
        kit.cvLimit = m_cvLimitValue;
    return kit;
}

bool KitEditor::isModified() const {
    return kitJson(kit()) != m_saved;
}

QStringList KitEditor::problems() const {
    const Kit edited = kit();
    const QStringList tokens = edited.tokens();
    QStringList problems;
    if (edited.name.isEmpty())
        problems.append(tr("The kit has no name."));
    if (tokens.isEmpty())
        problems.append(tr("No well of the layout is in use."));
    problems.append(m_tables->problems());
    if (edited.subtractBlank && !tokens.contains(blankToken))
        problems.append(tr("Subtracting the blank needs a BLK well in the layout."));
    if (edited.cutoff) {
        if (edited.cutoff->formula.trimmed().isEmpty())
            problems.append(tr("The cut-off has no formula."));
        else if (!m_cutoffFormula->problem().isEmpty())
            problems.append(tr("Cut-off formula: %1").arg(m_cutoffFormula->problem()));
    } else {
        QSet<double> concentrations;
        for (const double concentration : edited.standards)
            if (concentration > 0 || edited.curve->model != CurveModel::LogLinear)
                concentrations.insert(concentration);
        const int needed = parameterCount(edited.curve->model);
        if (concentrations.size() < needed)
            problems.append(tr("The curve \"%1\" needs at least %2 standards of different "
                               "concentrations; the layout has %3.")
                                .arg(m_model->currentText())
                                .arg(needed)
                                .arg(concentrations.size()));
    }
    problems.append(m_rules->problems());
    return problems;
}

bool KitEditor::save() {
    const auto warn = [this](const QString &why) {
        if (m_warn)
            m_warn(why);
        else
            QMessageBox::warning(this, tr("Kit editor"), why);
        return false;
    };
    const QStringList problems = this->problems();
    if (!problems.isEmpty())
        return warn(tr("The kit cannot be saved yet:") + QStringLiteral("\n\u2022 ") +
                    problems.join(QStringLiteral("\n\u2022 ")));
    const Kit edited = kit();
    // What the kit file will say is read back as the program will read it.
    const KitRead back = readKit(kitJson(edited), edited.name);
    if (!back.kit)
        return warn(back.error);
    const QString error = m_save ? m_save(edited) : QString();
    if (!error.isEmpty())
        return warn(error);
    m_saved = kitJson(edited);
    accept();
    return true;
}

QMessageBox::StandardButton KitEditor::askToSave() {
    if (m_ask)
        return m_ask();
    QMessageBox box(QMessageBox::Question, tr("Kit editor"), tr("Save the changes to the kit?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(tr("Save"));
    box.button(QMessageBox::Discard)->setText(tr("Don't save"));
    box.button(QMessageBox::Cancel)->setText(tr("Cancel"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return QMessageBox::StandardButton(box.exec());
}

void KitEditor::reject() {
    if (!isModified()) {
        QDialog::reject();
        return;
    }
    switch (askToSave()) {
    case QMessageBox::Save:
        save(); // accepted when saved, open with the reason when not
        break;
    case QMessageBox::Discard:
        QDialog::reject();
        break;
    default:
        break;
    }
}
