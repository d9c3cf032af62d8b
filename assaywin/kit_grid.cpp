// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_grid.h"

#include "assay/report.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>

#include <algorithm>

namespace {
const QString unused = QStringLiteral("-");

} // namespace

namespace KitTokens {

WellRole roleOf(const QString &token) {
    if (token.isEmpty() || token == unused)
        return WellRole::Unused;
    // The kit's own reading of BLK, Sn and Un; what is left is a control's name.
    static const Kit plain;
    const WellRole role = plain.roleOf(token);
    return role == WellRole::Unused ? WellRole::Control : role;
}

int highestNumber(WellRole role) {
    return role == WellRole::Standard ? 99 : role == WellRole::Sample ? 999 : 0;
}

QString numbered(WellRole role, int number) {
    return (role == WellRole::Standard ? QLatin1Char('S') : QLatin1Char('U')) +
           QString::number(number);
}

bool isControlName(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,31}$"));
    static const Kit plain;
    return pattern.match(name).hasMatch() && plain.roleOf(name) == WellRole::Unused;
}

QList<Well> inOrder(QList<Well> wells, FillOrder order) {
    std::sort(wells.begin(), wells.end(), [order](const Well &a, const Well &b) {
        return order == FillOrder::Strips ? std::pair(a.strip, a.row) < std::pair(b.strip, b.row)
                                          : std::pair(a.row, a.strip) < std::pair(b.row, b.strip);
    });
    return wells;
}

std::optional<QStringList> fill(WellRole role, int first, int replicates, qsizetype count) {
    if (first < 1 || replicates < 1 || count < 1)
        return std::nullopt;
    const qsizetype last = first + (count - 1) / replicates;
    if (last > highestNumber(role))
        return std::nullopt;
    QStringList tokens;
    tokens.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        tokens.append(numbered(role, first + int(i / replicates)));
    return tokens;
}

} // namespace KitTokens

KitGrid::KitGrid(QWidget *parent)
    : QTableWidget(plateRows, plateStrips, parent) {
    setObjectName(QStringLiteral("kitGrid"));
    setAccessibleName(tr("Plate layout"));
    QStringList rows, strips;
    for (int r = 0; r < plateRows; ++r)
        rows.append(QString(QChar(u'A' + r)));
    for (int s = 0; s < plateStrips; ++s)
        strips.append(QString::number(s + 1));
    setVerticalHeaderLabels(rows);
    setHorizontalHeaderLabels(strips);
    // A click on a heading selects its row or strip; the corner, the plate.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setDragEnabled(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setMinimumSectionSize(36);
    for (int r = 0; r < plateRows; ++r)
        for (int s = 0; s < plateStrips; ++s) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            setItem(r, s, item);
            showToken(r, s, unused);
        }
    setMinimumSize(12 * 40 + 30, 8 * 24 + 30);
}

QString KitGrid::describe(const Well &well, const QString &token) {
    QString role;
    switch (KitTokens::roleOf(token)) {
    case WellRole::Blank:
        role = tr("Blank");
        break;
    case WellRole::Standard:
        role = tr("Standard %1").arg(token.mid(1));
        break;
    case WellRole::Control:
        role = tr("Control %1").arg(token);
        break;
    case WellRole::Sample:
        role = tr("Sample %1").arg(token.mid(1));
        break;
    case WellRole::Unused:
        role = tr("Unused");
        break;
    }
    return QStringLiteral("%1: %2").arg(well.name(), role);
}

void KitGrid::showToken(int row, int strip, const QString &token) {
    QTableWidgetItem *cell = item(row, strip);
    const WellRole role = KitTokens::roleOf(token);
    cell->setData(Qt::UserRole, role == WellRole::Unused ? unused : token);
    cell->setText(role == WellRole::Unused ? QString() : token);
    // The colours of the report's plate map; the text names the role too.
    cell->setBackground(QColor(QLatin1String(roleColour(role))));
    cell->setForeground(QColor(Qt::black));
    const QString said = describe(Well{row, strip}, token);
    cell->setData(Qt::AccessibleTextRole, said);
    cell->setToolTip(said);
}

QString KitGrid::token(int row, int strip) const {
    return item(row, strip)->data(Qt::UserRole).toString();
}

KitLayout KitGrid::plateLayout() const {
    KitLayout layout;
    for (int r = 0; r < plateRows; ++r)
        for (int s = 0; s < plateStrips; ++s)
            layout[r][s] = token(r, s);
    return layout;
}

void KitGrid::setPlateLayout(const KitLayout &layout) {
    for (int r = 0; r < plateRows; ++r)
        for (int s = 0; s < plateStrips; ++s)
            showToken(r, s, layout[r][s]);
    emit tokensChanged();
}

void KitGrid::setTokens(const QList<Well> &wells, const QStringList &tokens) {
    bool changed = false;
    for (qsizetype i = 0; i < wells.size() && i < tokens.size(); ++i) {
        const QString was = token(wells[i].row, wells[i].strip);
        showToken(wells[i].row, wells[i].strip, tokens[i]);
        changed = changed || was != token(wells[i].row, wells[i].strip);
    }
    if (changed)
        emit tokensChanged();
}

QList<Well> KitGrid::selectedWells() const {
    QList<Well> wells;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        wells.append(Well{index.row(), index.column()});
    return KitTokens::inOrder(wells, FillOrder::Strips);
}

void KitGrid::selectWells(const QList<Well> &wells) {
    clearSelection();
    for (const Well &well : wells)
        selectionModel()->select(model()->index(well.row, well.strip), QItemSelectionModel::Select);
}

void KitGrid::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit assignRequested();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
