// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_editor_roles.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
QLabel *buddy(const QString &text, QWidget *widget, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(widget);
    return label;
}
} // namespace

RolePanel::RolePanel(KitGrid *grid, QWidget *parent)
    : QGroupBox(tr("Role of the selected wells"), parent)
    , m_grid(grid)
    , m_role(new QComboBox(this))
    , m_number(new QSpinBox(this))
    , m_control(new QComboBox(this))
    , m_replicates(new QSpinBox(this))
    , m_order(new QComboBox(this))
    , m_assign(new QPushButton(tr("&Assign"), this))
    , m_fill(new QPushButton(tr("&Fill in order"), this))
    , m_message(new QLabel(this)) {
    setObjectName(QStringLiteral("rolePanel"));
    m_role->setObjectName(QStringLiteral("role"));
    m_role->setAccessibleName(tr("Role"));
    m_role->addItem(tr("Unused"), int(WellRole::Unused));
    m_role->addItem(tr("Blank"), int(WellRole::Blank));
    m_role->addItem(tr("Standard"), int(WellRole::Standard));
    m_role->addItem(tr("Control"), int(WellRole::Control));
    m_role->addItem(tr("Sample"), int(WellRole::Sample));
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setAccessibleName(tr("Number of the standard or sample; where a fill starts"));
    m_number->setRange(1, KitTokens::highestNumber(WellRole::Sample));
    m_control->setObjectName(QStringLiteral("control"));
    m_control->setAccessibleName(tr("Name of the control"));
    m_control->setEditable(true);
    m_control->setInsertPolicy(QComboBox::NoInsert);
    m_control->lineEdit()->setMaxLength(32);
    m_replicates->setObjectName(QStringLiteral("replicates"));
    m_replicates->setAccessibleName(tr("Replicates: wells for each number"));
    m_replicates->setRange(1, 8);
    m_order->setObjectName(QStringLiteral("order"));
    m_order->setAccessibleName(tr("Order of the fill"));
    m_order->addItem(tr("Down each strip"), int(FillOrder::Strips));
    m_order->addItem(tr("Along each row"), int(FillOrder::Rows));
    m_assign->setObjectName(QStringLiteral("assign"));
    m_assign->setAccessibleName(tr("Assign the role to the selected wells"));
    m_fill->setObjectName(QStringLiteral("fill"));
    m_fill->setAccessibleName(tr("Fill the selected wells in order"));
    for (QPushButton *button : {m_assign, m_fill})
        button->setAutoDefault(false);
    m_message->setObjectName(QStringLiteral("roleMessage"));
    m_message->setAccessibleName(tr("Why the wells kept their roles"));
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    setExtraControls({});

    auto *layout = new QGridLayout(this);
    layout->addWidget(buddy(tr("&Role:"), m_role, this), 0, 0);
    layout->addWidget(m_role, 0, 1);
    layout->addWidget(buddy(tr("Numb&er:"), m_number, this), 0, 2);
    layout->addWidget(m_number, 0, 3);
    layout->addWidget(buddy(tr("C&ontrol:"), m_control, this), 0, 4);
    layout->addWidget(m_control, 0, 5);
    layout->addWidget(m_assign, 0, 6);
    layout->addWidget(buddy(tr("Re&plicates:"), m_replicates, this), 1, 0);
    layout->addWidget(m_replicates, 1, 1);
    layout->addWidget(buddy(tr("Or&der:"), m_order, this), 1, 2);
    layout->addWidget(m_order, 1, 3, 1, 3);
    layout->addWidget(m_fill, 1, 6);
    layout->addWidget(m_message, 2, 0, 1, 7);
    layout->setColumnStretch(5, 1);

    connect(m_role, &QComboBox::currentIndexChanged, this, &RolePanel::roleChosen);
    connect(m_assign, &QPushButton::clicked, this, &RolePanel::assign);
    connect(m_fill, &QPushButton::clicked, this, &RolePanel::fillInOrder);
    connect(m_control->lineEdit(), &QLineEdit::returnPressed, this, &RolePanel::assign);
    connect(grid, &KitGrid::assignRequested, this, &RolePanel::assign);
    chooseRole(WellRole::Sample);
    roleChosen();
}

void RolePanel::setExtraControls(const QStringList &names) {
    m_extra = names;
    const QString typed = m_control->currentText();
    m_control->clear();
    m_control->addItems(QStringList{QStringLiteral("NC"), QStringLiteral("PC")} + names);
    m_control->setCurrentText(typed.isEmpty() ? QStringLiteral("NC") : typed);
}

void RolePanel::chooseRole(WellRole role) {
    m_role->setCurrentIndex(m_role->findData(int(role)));
}

WellRole RolePanel::role() const {
    return WellRole(m_role->currentData().toInt());
}

void RolePanel::roleChosen() {
    const WellRole chosen = role();
    const bool numbered = chosen == WellRole::Standard || chosen == WellRole::Sample;
    m_number->setEnabled(numbered);
    if (numbered)
        m_number->setMaximum(KitTokens::highestNumber(chosen));
    m_control->setEnabled(chosen == WellRole::Control);
    m_replicates->setEnabled(numbered);
    m_order->setEnabled(numbered);
    m_fill->setEnabled(numbered);
}

QString RolePanel::message() const {
    return m_message->text();
}

bool RolePanel::refuse(const QString &why) {
    m_message->setText(why);
    return false;
}

bool RolePanel::assign() {
    const QList<Well> wells = m_grid->selectedWells();
    if (wells.isEmpty())
        return refuse(tr("Select the wells first: with the mouse, or Shift and the arrows."));
    const WellRole chosen = role();
    QString token = QStringLiteral("-");
    switch (chosen) {
    case WellRole::Unused:
        break;
    case WellRole::Blank:
        token = QStringLiteral("BLK");
        break;
    case WellRole::Standard:
    case WellRole::Sample:
        token = KitTokens::numbered(chosen, m_number->value());
        break;
    case WellRole::Control:
        token = m_control->currentText().trimmed();
        if (!KitTokens::isControlName(token))
            return refuse(tr("\"%1\" cannot name a control: a Latin letter, then Latin letters, "
                             "digits or _, 32 at most; not BLK, Sn or Un.")
                              .arg(token));
        if (token != QLatin1String("NC") && token != QLatin1String("PC") &&
            !m_extra.contains(token)) {
            setExtraControls(m_extra + QStringList{token});
            emit controlsChanged();
        }
        break;
    }
    m_message->clear();
    m_grid->setTokens(wells, QStringList(wells.size(), token));
    // The next group's number is ready for the next wells.
    if (chosen == WellRole::Standard || chosen == WellRole::Sample)
        m_number->setValue(m_number->value() + 1);
    return true;
}

bool RolePanel::fillInOrder() {
    const WellRole chosen = role();
    if (chosen != WellRole::Standard && chosen != WellRole::Sample)
        return refuse(tr("Only standards and samples are filled in order."));
    const QList<Well> wells =
        KitTokens::inOrder(m_grid->selectedWells(), FillOrder(m_order->currentData().toInt()));
    if (wells.isEmpty())
        return refuse(tr("Select the wells first: with the mouse, or Shift and the arrows."));
    const int first = m_number->value();
    const int replicates = m_replicates->value();
    const auto tokens = KitTokens::fill(chosen, first, replicates, wells.size());
    const int last = first + int((wells.size() - 1) / replicates);
    if (!tokens)
        return refuse(
            (chosen == WellRole::Standard
                 ? tr("Standards go up to S99: %1 wells from S%2, %3 to a standard, would reach "
                      "S%4.")
                 : tr("Samples go up to U999: %1 wells from U%2, %3 to a sample, would reach "
                      "U%4."))
                .arg(wells.size())
                .arg(first)
                .arg(replicates)
                .arg(last));
    m_message->clear();
    m_grid->setTokens(wells, *tokens);
    m_number->setValue(last + 1);
    return true;
}
