// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A kit's formulas (validity rules, the cut-off), evaluated by muparser.
//
// A formula holds numbers (with a decimal point: 0.150), + - * /,
// parentheses, the comparisons < <= > >= == !=, the words and / or, and the
// functions mean, sd, cv (in %), min, max and count of one token's wells:
// "mean(NC) + 0.150", "max(NC) < 0.150 and mean(PC) >= 1.000". A token stands
// only as the argument of such a function. A comparison is 1 when it holds,
// else 0.

// The blank-corrected densities of each group's wells that have one, by token.
using GroupDensities = QMap<QString, QList<double>>;

// A group's figures: the sample standard deviation (n - 1), as kit inserts
// and spreadsheets compute it; CV = SD / mean in %. None where they are not
// defined (fewer than two wells; a mean of 0 for the CV).
struct GroupStats {
    int count = 0;
    double mean = 0;
    std::optional<double> sd;
    std::optional<double> cv;
    double min = 0;
    double max = 0;
};
GroupStats groupStats(const QList<double> &densities);

struct FormulaValue {
    bool ok = false;
    double value = 0;
    // What is wrong, for a lab person (translatable, context "Assay"), with
    // the position where it was found (0-based, in the formula as written;
    // -1 when it has none).
    QString error;
    int position = -1;
};

// The formula's value on these groups. Errors: a syntax error (with its
// position), an unknown function, a token that is no group of the kit, a
// group without a well with a density, sd or cv of fewer than two wells, a
// division by zero or any result that is not a finite number.
FormulaValue evaluateFormula(const QString &formula, const GroupDensities &groups);

// The formula checked as it is typed, without values: its syntax, its
// functions and that its tokens are among these. ok, or the error.
FormulaValue checkFormula(const QString &formula, const QStringList &tokens);
