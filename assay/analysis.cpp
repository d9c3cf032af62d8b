// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis.h"

#include "assay_text.h"

#include "plate/plate.h"

#include <algorithm>
#include <cmath>

namespace {
// A well's cell from its name ("H12" is row 7, strip 11).
std::pair<int, int> cellOf(const QString &well) {
    return {well.at(0).unicode() - u'A', well.mid(1).toInt() - 1};
}

// Edges of the grey zone are compared to a billionth, so that 0.180 lies on
// the edge 0.200 x 0.9 although the product is 0.18000000000000002.
constexpr double edgeTolerance = 1e-9;

GroupResult groupOf(const Kit &kit, const QString &token, const Analysis &analysis) {
    GroupResult group;
    group.token = token;
    group.role = kit.roleOf(token);
    group.wells = kit.wellsOf(token);
    const double blank = group.role == WellRole::Blank ? 0 : analysis.blank.value_or(0);
    for (const QString &well : group.wells) {
        const auto [r, s] = cellOf(well);
        const std::optional<double> raw = analysis.raw[r][s];
        if (!raw) {
            group.missing.append(well);
            continue;
        }
        group.measuredWells.append(well);
        group.od.append(*raw - blank);
    }
    group.stats = groupStats(group.od);
    if (!group.missing.isEmpty())
        group.flags.append(QStringLiteral("missing"));
    if (kit.cvLimit && group.stats.cv && *group.stats.cv > *kit.cvLimit)
        group.flags.append(QStringLiteral("cv"));
    if (group.role == WellRole::Standard)
        group.concentration = kit.standards.value(token);
    return group;
}

// The mean density of the standards at concentration x.
std::optional<double> standardMeanAt(const Analysis &analysis, double x) {
    for (const GroupResult &group : analysis.groups)
        if (group.role == WellRole::Standard && group.concentration == x && group.stats.count > 0)
            return group.stats.mean;
    return std::nullopt;
}

void fitStandards(const Kit &kit, Analysis &analysis) {
    std::vector<CurvePoint> points;
    for (const GroupResult &group : analysis.groups)
        if (group.role == WellRole::Standard)
            for (const double od : group.od)
                points.push_back({*group.concentration, od});
    const CurveFit fit = fitCurve(kit.curve->model, points, kit.curve->weighting);
    analysis.notes.append(fit.notes);
    if (!fit.curve) {
        analysis.problems.append(
            Assay::tr("the standard curve cannot be fitted: %1").arg(fit.error));
        return;
    }
    analysis.curve = fit.curve;
    const Curve &curve = *analysis.curve;
    for (GroupResult &group : analysis.groups) {
        if (group.role != WellRole::Standard || group.stats.count == 0)
            continue;
        group.backCalculated = curve.x(group.stats.mean);
        if (group.backCalculated && *group.concentration > 0)
            group.recovery = *group.backCalculated / *group.concentration * 100;
    }
    const std::optional<double> low = standardMeanAt(analysis, curve.lowestX);
    const std::optional<double> high = standardMeanAt(analysis, curve.highestX);
    if (!low || !high)
        return;
    const bool rising = *high >= *low;
    for (SampleResult &sample : analysis.samples) {
        if (!sample.mean)
            continue;
        const double y = *sample.mean;
        if (rising ? y < *low : y > *low) {
            sample.range = Range::Below;
        } else if (rising ? y > *high : y < *high) {
            sample.range = Range::Above;
        } else if (const std::optional<double> x = curve.x(y)) {
            sample.concentration = *x * sample.dilution;
        } else {
            sample.flags.append(QStringLiteral("not on the curve"));
        }
    }
}

void judgeSamples(const Kit &kit, const GroupDensities &groups, Analysis &analysis) {
    const FormulaValue cutoff = evaluateFormula(kit.cutoff->formula, groups);
    if (!cutoff.ok) {
        analysis.problems.append(Assay::tr("the cut-off \"%1\" has no value: %2")
                                     .arg(kit.cutoff->formula, cutoff.error));
        return;
    }
    analysis.cutoff = cutoff.value;
    if (cutoff.value <= 0) {
        analysis.problems.append(
            Assay::tr("the cut-off \"%1\" is %2, not above 0: no sample can be judged by it")
                .arg(kit.cutoff->formula)
                .arg(cutoff.value));
        return;
    }
    for (SampleResult &sample : analysis.samples) {
        if (!sample.mean)
            continue;
        sample.sCo = *sample.mean / cutoff.value;
        sample.verdict = verdictOf(*sample.mean, cutoff.value, *kit.cutoff);
    }
}
} // namespace

const GroupResult *Analysis::group(const QString &token) const {
    for (const GroupResult &g : groups)
        if (g.token == token)
            return &g;
    return nullptr;
}

QString layoutFits(const Kit &kit, const Plate &plate) {
    const int used = kit.stripsUsed();
    if (plate.strips() >= used)
        return QString();
    return Assay::tr("the kit's layout uses %1 strips; the plate has %2")
        .arg(used)
        .arg(plate.strips());
}

Verdict verdictOf(double mean, double cutoff, const Kit::Cutoff &rule) {
    const double lower = cutoff * (1 - rule.greyZone);
    const double upper = cutoff * (1 + rule.greyZone);
    const double slack = edgeTolerance * std::max(1.0, std::abs(cutoff));
    if (mean >= lower - slack && mean <= upper + slack)
        return Verdict::Doubtful;
    const bool above = mean > upper;
    return above == rule.positiveAbove ? Verdict::Positive : Verdict::Negative;
}

QString verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::Positive:
        return QStringLiteral("positive");
    case Verdict::Negative:
        return QStringLiteral("negative");
    case Verdict::Doubtful:
        return QStringLiteral("doubtful");
    case Verdict::None:
        break;
    }
    return QString();
}

QString rangeName(Range range) {
    switch (range) {
    case Range::Below:
        return QStringLiteral("below");
    case Range::Above:
        return QStringLiteral("above");
    case Range::Within:
        break;
    }
    return QString();
}

Analysis analyse(const Kit &kit, const Plate &plate) {
    Analysis analysis;
    for (int r = 0; r < plateRows; ++r)
        for (int s = 0; s < plateStrips && s < plate.strips(); ++s)
            if (plate.hasNumber(s, r))
                analysis.raw[r][s] = plate.number(s, r);
    const QStringList tokens = kit.tokens();
    // The blank first, as the other groups are corrected by it; a blank
    // without a density is a problem the loop below names.
    if (kit.subtractBlank) {
        const GroupResult blank = groupOf(kit, QStringLiteral("BLK"), analysis);
        if (blank.stats.count > 0)
            analysis.blank = blank.stats.mean;
    }
    for (const QString &token : tokens) {
        GroupResult group = groupOf(kit, token, analysis);
        if (group.stats.count == 0)
            analysis.problems.append(Assay::tr("no well of %1 has a density (%2)")
                                         .arg(token, group.wells.join(QLatin1Char(' '))));
        if (group.role == WellRole::Sample) {
            SampleResult sample;
            sample.token = token;
            sample.name = kit.sampleNames.value(token);
            sample.wells = group.wells;
            if (group.stats.count > 0)
                sample.mean = group.stats.mean;
            sample.cv = group.stats.cv;
            sample.dilution = kit.dilutionOf(token);
            sample.flags = group.flags;
            analysis.samples.append(sample);
        }
        analysis.groups.append(group);
    }
    // The densities the formulas see, the cut-off's and the rules'.
    GroupDensities groups;
    for (const GroupResult &group : analysis.groups)
        groups.insert(group.token, group.od);
    if (kit.cutoff)
        judgeSamples(kit, groups, analysis);
    else if (kit.curve)
        fitStandards(kit, analysis);

    for (const QString &rule : kit.validity) {
        RuleResult result;
        result.rule = rule;
        const FormulaValue value = evaluateFormula(rule, groups);
        if (value.ok) {
            result.value = value.value;
            result.held = value.value != 0;
        } else {
            result.error = value.error;
        }
        analysis.rules.append(result);
    }
    analysis.valid = analysis.problems.isEmpty() &&
                     std::all_of(analysis.rules.begin(), analysis.rules.end(),
                                 [](const RuleResult &rule) { return rule.held; });
    return analysis;
}
