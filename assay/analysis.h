// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit.h"
#include "formula.h"
#include "kit.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Plate;

// One token's wells on the plate, with their blank-corrected densities.
struct GroupResult {
    QString token;
    WellRole role = WellRole::Unused;
    QStringList wells;         // every well of the token, strip by strip
    QStringList measuredWells; // those whose field is four digits, in that order
    QList<double> od;          // their densities (blank-corrected but for the blank itself)
    QStringList missing;       // the wells left out: no four-digit density
    GroupStats stats;
    QStringList flags; // "cv" above the kit's limit; "missing" when a well was left out
    // Standards only.
    std::optional<double> concentration;
    std::optional<double> backCalculated;
    std::optional<double> recovery; // %
};

enum class Verdict { None, Positive, Negative, Doubtful };
enum class Range { Within, Below, Above };

struct SampleResult {
    QString token;
    QString name;
    QStringList wells;
    std::optional<double> mean;
    std::optional<double> cv;
    double dilution = 1;
    QStringList flags;
    // A kit with a cut-off.
    std::optional<double> sCo;
    Verdict verdict = Verdict::None;
    // A kit with a standard curve: the concentration times the dilution;
    // none outside the standards' range.
    std::optional<double> concentration;
    Range range = Range::Within;
};

struct RuleResult {
    QString rule; // as written in the kit
    std::optional<double> value;
    bool held = false;
    QString error; // why it has no value
};

// The kit's answer from a plate.
struct Analysis {
    bool valid = false; // every rule held, and nothing below went wrong
    // What kept the analysis from its answer (a group without densities, a
    // curve that cannot be fitted): each makes the run invalid.
    QStringList problems;
    QStringList notes;
    std::optional<double> blank;
    QList<RuleResult> rules;
    std::optional<double> cutoff;
    std::optional<Curve> curve;
    QList<GroupResult> groups;
    QList<SampleResult> samples;
    // The density of every well of the plate as measured, rows A to H,
    // strips 1 to 12 (none where the field is not four digits or the strip
    // was not measured).
    std::array<std::array<std::optional<double>, plateStrips>, plateRows> raw;

    const GroupResult *group(const QString &token) const;
};

// The plate's strips must cover the kit's layout; an empty string, or what
// is missing, for a lab person.
QString layoutFits(const Kit &kit, const Plate &plate);

// The analysis of a plate by a kit, on blank-corrected densities (a well
// whose field is not four digits is left out of its group and named). The
// plate must fit the layout (layoutFits).
Analysis analyse(const Kit &kit, const Plate &plate);

// The grey zone's edges are part of it: a sample's mean within
// cutoff x (1 - greyzone) … cutoff x (1 + greyzone), edges included, is
// doubtful.
Verdict verdictOf(double mean, double cutoff, const Kit::Cutoff &rule);

QString verdictName(Verdict verdict); // "positive", "negative", "doubtful", ""
QString rangeName(Range range);       // "", "below", "above"
