// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_editor_tables.h"

#include <QHeaderView>
#include <QLocale>
#include <QTableWidget>

#include <cmath>

namespace {
enum { TokenColumn = 0, StandardConcentration = 1, SampleName = 1, SampleDilution = 2 };

QTableWidget *table(QWidget *parent, const QStringList &headings) {
    auto *table = new QTableWidget(0, int(headings.size()), parent);
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false); // arrows move between cells, Tab leaves
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    return table;
}

QTableWidgetItem *tokenItem(const QString &token) {
    auto *item = new QTableWidgetItem(token);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}
} // namespace

std::optional<double> readNumber(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Either mark is a decimal one: group separators would make "1,500" ambiguous.
    QLocale here;
    here.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = here.toDouble(trimmed, &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString numberText(double value) {
    QLocale here;
    here.setNumberOptions(QLocale::OmitGroupSeparator);
    return here.toString(value, 'g', QLocale::FloatingPointShortest);
}

TokenTables::TokenTables(QWidget *parent)
    : QObject(parent)
    , m_standards(table(parent, {tr("Standard"), tr("Concentration")}))
    , m_samples(table(parent, {tr("Sample"), tr("Name"), tr("Dilution")})) {
    m_standards->setObjectName(QStringLiteral("standardsTable"));
    m_standards->setAccessibleName(tr("Standards and their concentrations"));
    m_samples->setObjectName(QStringLiteral("samplesTable"));
    m_samples->setAccessibleName(tr("Samples, their names and dilutions"));
    // The name takes the room; the dilution is a short number.
    m_samples->horizontalHeader()->setStretchLastSection(false);
    m_samples->horizontalHeader()->setSectionResizeMode(SampleName, QHeaderView::Stretch);
    connect(m_standards, &QTableWidget::itemChanged, this, &TokenTables::changed);
    connect(m_samples, &QTableWidget::itemChanged, this, &TokenTables::changed);
}

void TokenTables::load(const Kit &kit) {
    m_concentrations.clear();
    m_names.clear();
    m_dilutions.clear();
    for (auto it = kit.standards.begin(); it != kit.standards.end(); ++it)
        m_concentrations.insert(it.key(), numberText(it.value()));
    m_names = kit.sampleNames;
    for (auto it = kit.dilutions.begin(); it != kit.dilutions.end(); ++it)
        m_dilutions.insert(it.key(), numberText(it.value()));
}

void TokenTables::follow(const QStringList &tokens) {
    static const Kit plain; // Sn and Un as the kit reads them
    m_showing = true;
    m_standards->setRowCount(0);
    m_samples->setRowCount(0);
    for (const QString &token : tokens) {
        const WellRole role = plain.roleOf(token);
        if (role == WellRole::Standard) {
            const int row = m_standards->rowCount();
            m_standards->insertRow(row);
            m_standards->setItem(row, TokenColumn, tokenItem(token));
            auto *concentration = new QTableWidgetItem(m_concentrations.value(token));
            m_standards->setItem(row, StandardConcentration, concentration);
            changed(concentration);
        } else if (role == WellRole::Sample) {
            const int row = m_samples->rowCount();
            m_samples->insertRow(row);
            m_samples->setItem(row, TokenColumn, tokenItem(token));
            m_samples->setItem(row, SampleName, new QTableWidgetItem(m_names.value(token)));
            auto *dilution = new QTableWidgetItem(m_dilutions.value(token, numberText(1)));
            m_samples->setItem(row, SampleDilution, dilution);
            changed(dilution);
        }
    }
    m_showing = false;
}

void TokenTables::mark(QTableWidgetItem *item, bool right, const QString &why) {
    const bool wasShowing = m_showing;
    m_showing = true;
    item->setBackground(right ? QBrush() : QBrush(QColor(0xf8, 0xd0, 0xd0)));
    item->setToolTip(right ? QString() : why);
    item->setData(Qt::AccessibleDescriptionRole, right ? QString() : why);
    m_showing = wasShowing;
}

void TokenTables::changed(QTableWidgetItem *item) {
    if (!item || item->column() == TokenColumn)
        return;
    const bool user = !m_showing;
    QTableWidget *table = item->tableWidget();
    const QTableWidgetItem *tokenCell = table->item(item->row(), TokenColumn);
    if (!tokenCell)
        return;
    const QString token = tokenCell->text();
    const std::optional<double> number = readNumber(item->text());
    if (table == m_standards) {
        if (user)
            m_concentrations.insert(token, item->text());
        mark(item, number && *number >= 0, tr("A concentration is a number of 0 or more"));
    } else if (item->column() == SampleName) {
        if (user)
            m_names.insert(token, item->text());
    } else {
        if (user)
            m_dilutions.insert(token, item->text());
        mark(item, item->text().trimmed().isEmpty() || (number && *number > 0),
             tr("A dilution is a number above 0"));
    }
    if (user)
        emit edited();
}

void TokenTables::fillIn(Kit &kit) const {
    kit.standards.clear();
    kit.sampleNames.clear();
    kit.dilutions.clear();
    for (int row = 0; row < m_standards->rowCount(); ++row) {
        const QString token = m_standards->item(row, TokenColumn)->text();
        const auto value = readNumber(m_standards->item(row, StandardConcentration)->text());
        if (value && *value >= 0)
            kit.standards.insert(token, *value);
    }
    for (int row = 0; row < m_samples->rowCount(); ++row) {
        const QString token = m_samples->item(row, TokenColumn)->text();
        const QString name = m_samples->item(row, SampleName)->text().trimmed();
        if (!name.isEmpty())
            kit.sampleNames.insert(token, name);
        const auto value = readNumber(m_samples->item(row, SampleDilution)->text());
        if (value && *value > 0 && *value != 1)
            kit.dilutions.insert(token, *value);
    }
}

QStringList TokenTables::problems() const {
    QStringList problems;
    QMap<double, QString> byConcentration;
    for (int row = 0; row < m_standards->rowCount(); ++row) {
        const QString token = m_standards->item(row, TokenColumn)->text();
        const QString text = m_standards->item(row, StandardConcentration)->text();
        const auto value = readNumber(text);
        if (text.trimmed().isEmpty())
            problems.append(tr("The standard %1 has no concentration.").arg(token));
        else if (!value || *value < 0)
            problems.append(tr("The concentration of %1, \"%2\", is not a number of 0 or more.")
                                .arg(token, text));
        else if (byConcentration.contains(*value))
            problems.append(tr("%1 and %2 have the same concentration, %3.")
                                .arg(byConcentration.value(*value), token, numberText(*value)));
        else
            byConcentration.insert(*value, token);
    }
    for (int row = 0; row < m_samples->rowCount(); ++row) {
        const QString token = m_samples->item(row, TokenColumn)->text();
        const QString text = m_samples->item(row, SampleDilution)->text();
        const auto value = readNumber(text);
        if (!text.trimmed().isEmpty() && (!value || *value <= 0))
            problems.append(
                tr("The dilution of %1, \"%2\", is not a number above 0.").arg(token, text));
    }
    return problems;
}
