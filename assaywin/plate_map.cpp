// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_map.h"

#include "assay/analysis.h"
#include "assay/kit.h"
#include "assay/report.h"
#include "plate/plate_export.h"

#include <QHeaderView>
#include <QLocale>

PlateMap::PlateMap(QWidget *parent)
    : QTableWidget(plateRows, plateStrips, parent) {
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setWordWrap(true);
    setAccessibleName(tr("Plate map"));
    QStringList rows;
    for (int r = 0; r < plateRows; ++r)
        rows << QString(QChar(u'A' + r));
    setVerticalHeaderLabels(rows);
    QStringList strips;
    for (int s = 1; s <= plateStrips; ++s)
        strips << QString::number(s);
    setHorizontalHeaderLabels(strips);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setMinimumSectionSize(44);
    verticalHeader()->setMinimumSectionSize(34);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every row in sight: two lines a well.
    setMinimumHeight(horizontalHeader()->sizeHint().height() + plateRows * 36 + 2 * frameWidth());
}

void PlateMap::showLayout(const Kit &kit) {
    fill(kit, nullptr);
}

void PlateMap::show(const Kit &kit, const Analysis &analysis) {
    fill(kit, &analysis);
}

void PlateMap::fill(const Kit &kit, const Analysis *analysis) {
    const QLocale locale;
    for (int r = 0; r < plateRows; ++r) {
        for (int s = 0; s < plateStrips; ++s) {
            const QString &token = kit.layout[r][s];
            const WellRole role = kit.roleOf(token);
            QString density;
            if (analysis && analysis->raw[r][s])
                density = locale.toString(*analysis->raw[r][s], 'f', 3);
            else if (analysis && role != WellRole::Unused)
                density = QStringLiteral("—");
            auto *cell = new QTableWidgetItem(
                role == WellRole::Unused ? QString()
                                         : (density.isEmpty() ? token : token + u'\n' + density));
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setBackground(QColor(QLatin1String(roleColour(role))));
            cell->setForeground(QColor(0x11, 0x11, 0x11));
            QString spoken = tr("%1: %2").arg(wellName(s, r), roleText(role));
            if (role != WellRole::Unused)
                spoken += QLatin1Char(' ') + token;
            if (!density.isEmpty())
                spoken += tr(", density %1").arg(density);
            cell->setData(Qt::AccessibleTextRole, spoken);
            cell->setToolTip(spoken);
            setItem(r, s, cell);
        }
    }
}
