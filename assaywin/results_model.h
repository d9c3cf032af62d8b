// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QModelIndexList>
#include <QStandardItemModel>

struct Analysis;
struct Kit;

// The results table: a row per sample with the report's texts (sample,
// wells, mean density, CV, S/CO or concentration, result, flags), sorted by
// number where a column holds numbers.
class ResultsModel : public QStandardItemModel {
    Q_OBJECT
public:
    // The value a column sorts by (a number; the sample's place in the kit
    // for the sample column).
    static constexpr int sortRole = Qt::UserRole + 1;

    explicit ResultsModel(QObject *parent = nullptr);

    void show(const Kit &kit, const Analysis &analysis);
    void clear();
};

// The rows as tab-separated text, headings first, a line per row ending in
// CR LF, as a spreadsheet pastes it; every row when rows is empty.
QString tableText(const QAbstractItemModel &model, const QList<int> &rows = {});
