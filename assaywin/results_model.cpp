// SPDX-License-Identifier: GPL-3.0-or-later
#include "results_model.h"

#include "assay/analysis.h"
#include "assay/kit.h"
#include "assay/report.h"

#include <QBrush>
#include <QColor>

#include <limits>

namespace {
enum Column { SampleColumn, WellsColumn, OdColumn, CvColumn, ValueColumn, ResultColumn };

// None sorts after every number.
double sortValue(const std::optional<double> &value) {
    return value ? *value : std::numeric_limits<double>::infinity();
}
} // namespace

ResultsModel::ResultsModel(QObject *parent)
    : QStandardItemModel(parent) {
    setSortRole(sortRole);
}

void ResultsModel::clear() {
    removeRows(0, rowCount());
}

void ResultsModel::show(const Kit &kit, const Analysis &analysis) {
    clear();
    QStringList headings = resultHeadings(kit);
    // The heading names the quantity; the units are its tool tip.
    if (!kit.cutoff)
        headings[ValueColumn] = tr("Concentration");
    setColumnCount(static_cast<int>(headings.size()));
    setHorizontalHeaderLabels(headings);
    if (!kit.cutoff && !kit.units.isEmpty())
        horizontalHeaderItem(ValueColumn)->setToolTip(tr("in %1").arg(kit.units));
    const QList<QStringList> rows = resultRows(kit, analysis);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const SampleResult &sample = analysis.samples[i];
        QList<QStandardItem *> items;
        for (const QString &text : rows[i]) {
            auto *item = new QStandardItem(text);
            item->setEditable(false);
            item->setData(text, sortRole);
            items << item;
        }
        items[SampleColumn]->setData(static_cast<int>(i), sortRole);
        items[OdColumn]->setData(sortValue(sample.mean), sortRole);
        items[CvColumn]->setData(sortValue(sample.cv), sortRole);
        items[ValueColumn]->setData(sortValue(kit.cutoff ? sample.sCo : sample.concentration),
                                    sortRole);
        for (int c : {OdColumn, CvColumn, ValueColumn})
            items[c]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (sample.verdict == Verdict::Positive)
            items[ResultColumn]->setForeground(QBrush(QColor(0x8b, 0, 0)));
        if (!sample.flags.isEmpty())
            items.last()->setForeground(QBrush(QColor(0x8b, 0, 0)));
        appendRow(items);
    }
}

QString tableText(const QAbstractItemModel &model, const QList<int> &rows) {
    QList<int> shown = rows;
    if (shown.isEmpty())
        for (int r = 0; r < model.rowCount(); ++r)
            shown << r;
    const auto line = [&model](const auto &cell) {
        QStringList fields;
        for (int c = 0; c < model.columnCount(); ++c)
            fields << cell(c).toString().replace(QLatin1Char('\t'), QLatin1Char(' '));
        return fields.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    };
    QString text = line([&model](int c) { return model.headerData(c, Qt::Horizontal); });
    for (int r : shown)
        text += line([&model, r](int c) { return model.data(model.index(r, c)); });
    return text;
}
