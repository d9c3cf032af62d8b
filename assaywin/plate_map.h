// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableWidget>

struct Analysis;
struct Kit;

// The plate as the kit lays it out: a cell per well, coloured by its role,
// with its token and its density as measured. A table to a screen reader,
// each well read as "A1: sample U3, 0.123".
class PlateMap : public QTableWidget {
    Q_OBJECT
public:
    explicit PlateMap(QWidget *parent = nullptr);

    // The kit's layout without densities (before a plate), or with them.
    void showLayout(const Kit &kit);
    void show(const Kit &kit, const Analysis &analysis);

private:
    void fill(const Kit &kit, const Analysis *analysis);
};
