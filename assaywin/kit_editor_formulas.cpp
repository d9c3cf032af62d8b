// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_editor_formulas.h"

#include "assay/formula.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

FormulaField::FormulaField(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_verdict(new QLabel(this)) {
    m_edit->setObjectName(QStringLiteral("formula"));
    m_verdict->setObjectName(QStringLiteral("verdict"));
    m_verdict->setWordWrap(true);
    m_verdict->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_verdict);
    connect(m_edit, &QLineEdit::textChanged, this, [this] {
        check();
        emit edited();
    });
    check();
}

QString FormulaField::formula() const {
    return m_edit->text();
}

void FormulaField::setFormula(const QString &formula) {
    m_edit->blockSignals(true);
    m_edit->setText(formula);
    m_edit->blockSignals(false);
    check();
}

void FormulaField::setTokens(const QStringList &tokens) {
    if (tokens == m_tokens)
        return;
    m_tokens = tokens;
    check();
}

void FormulaField::setName(const QString &name) {
    m_edit->setAccessibleName(name);
    m_verdict->setAccessibleName(tr("Check of: %1").arg(name));
}

void FormulaField::check() {
    const FormulaValue checked = checkFormula(m_edit->text(), m_tokens);
    // The mark tells the verdict without its colour.
    QString shown;
    if (checked.ok) {
        m_problem.clear();
        shown = QStringLiteral("\u2713 ") + tr("The formula is correct");
    } else {
        m_problem = checked.position >= 0
                        ? tr("position %1: %2").arg(checked.position + 1).arg(checked.error)
                        : checked.error;
        shown = QStringLiteral("\u2717 ") + m_problem;
    }
    m_verdict->setText(shown);
    QPalette palette = m_verdict->palette();
    palette.setColor(QPalette::WindowText,
                     checked.ok ? QColor(0x1b, 0x5e, 0x20) : QColor(0xb0, 0x00, 0x20));
    m_verdict->setPalette(palette);
    m_edit->setAccessibleDescription(shown);
}

RuleList::RuleList(QWidget *parent)
    : QWidget(parent)
    , m_list(new QVBoxLayout)
    , m_add(new QPushButton(tr("&Add rule"), this)) {
    m_add->setObjectName(QStringLiteral("addRule"));
    m_add->setAccessibleName(tr("Add a validity rule"));
    m_add->setAutoDefault(false);
    auto *rows = new QWidget;
    auto *rowsLayout = new QVBoxLayout(rows);
    rowsLayout->addLayout(m_list);
    rowsLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(rows);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(m_add, 0, Qt::AlignLeft);
    connect(m_add, &QPushButton::clicked, this, [this] {
        addRule()->edit()->setFocus();
        emit edited();
    });
}

QStringList RuleList::rules() const {
    QStringList rules;
    for (const Row &row : m_rows)
        rules.append(row.field->formula());
    return rules;
}

void RuleList::setRules(const QStringList &rules) {
    while (!m_rows.isEmpty())
        removeRule(m_rows.size() - 1);
    for (const QString &rule : rules)
        addRule(rule);
}

void RuleList::setTokens(const QStringList &tokens) {
    m_tokens = tokens;
    for (const Row &row : m_rows)
        row.field->setTokens(tokens);
}

QList<FormulaField *> RuleList::fields() const {
    QList<FormulaField *> fields;
    for (const Row &row : m_rows)
        fields.append(row.field);
    return fields;
}

QStringList RuleList::problems() const {
    QStringList problems;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (!m_rows[i].field->problem().isEmpty())
            problems.append(tr("Validity rule %1: %2").arg(i + 1).arg(m_rows[i].field->problem()));
    return problems;
}

FormulaField *RuleList::addRule(const QString &formula) {
    auto *widget = new QWidget;
    auto *field = new FormulaField(widget);
    auto *remove = new QPushButton(tr("Remove"), widget);
    remove->setObjectName(QStringLiteral("removeRule"));
    remove->setAutoDefault(false);
    auto *layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field, 1);
    layout->addWidget(remove, 0, Qt::AlignTop);
    field->setTokens(m_tokens);
    field->setFormula(formula);
    m_list->addWidget(widget);
    m_rows.append(Row{widget, field, remove});
    connect(field, &FormulaField::edited, this, &RuleList::edited);
    connect(remove, &QPushButton::clicked, this, [this, widget] {
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].widget == widget) {
                removeRule(i);
                break;
            }
        (m_rows.isEmpty() ? static_cast<QWidget *>(m_add) : m_rows.last().field->edit())
            ->setFocus();
        emit edited();
    });
    renumber();
    return field;
}

void RuleList::removeRule(qsizetype index) {
    // Later: the button that asked is still on the stack.
    QWidget *widget = m_rows.takeAt(index).widget;
    widget->hide();
    widget->deleteLater();
    renumber();
}

void RuleList::renumber() {
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        m_rows[i].field->setName(tr("Validity rule %1").arg(i + 1));
        m_rows[i].remove->setAccessibleName(tr("Remove validity rule %1").arg(i + 1));
    }
}
