// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include "assay_text.h"

#include "analysis.h"
#include "kit.h"
#include "results.h"

#include "plate/plate.h"
#include "plate/plate_export.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {
QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

QString shown(const std::optional<double> &value, int decimals) {
    return value && std::isfinite(*value) ? QLocale().toString(*value, 'f', decimals)
                                          : QStringLiteral("—");
}

QString shownConcentration(double value) {
    return QLocale().toString(value, 'g', 4);
}

} // namespace

const char *roleColour(WellRole role) {
    switch (role) {
    case WellRole::Blank:
        return "#d9d9d9";
    case WellRole::Standard:
        return "#9ecae1";
    case WellRole::Control:
        return "#fdd0a2";
    case WellRole::Sample:
        return "#c7e9c0";
    case WellRole::Unused:
        break;
    }
    return "#ffffff";
}

QString roleText(WellRole role) {
    switch (role) {
    case WellRole::Blank:
        return AssayReport::tr("blank");
    case WellRole::Standard:
        return AssayReport::tr("standard");
    case WellRole::Control:
        return AssayReport::tr("control");
    case WellRole::Sample:
        return AssayReport::tr("sample");
    case WellRole::Unused:
        break;
    }
    return AssayReport::tr("unused");
}

namespace {
QString verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Positive:
        return AssayReport::tr("positive");
    case Verdict::Negative:
        return AssayReport::tr("negative");
    case Verdict::Doubtful:
        return AssayReport::tr("doubtful");
    case Verdict::None:
        break;
    }
    return QString();
}

QString rangeText(Range range) {
    switch (range) {
    case Range::Below:
        return AssayReport::tr("below range");
    case Range::Above:
        return AssayReport::tr("above range");
    case Range::Within:
        break;
    }
    return QString();
}

QString flagsText(const QStringList &flags) {
    QStringList shownFlags;
    for (const QString &flag : flags) {
        if (flag == QLatin1String("cv"))
            shownFlags << AssayReport::tr("CV above the limit");
        else if (flag == QLatin1String("missing"))
            shownFlags << AssayReport::tr("a well without a density");
        else
            shownFlags << AssayReport::tr("not on the curve");
    }
    return shownFlags.join(QStringLiteral("; "));
}

// Placing values on an axis, linear or log10.
struct Axis {
    double low;
    double high;
    bool log;
    double from; // pixels
    double to;
    double at(double v) const {
        const double a = log ? std::log10(low) : low;
        const double b = log ? std::log10(high) : high;
        const double t = log ? std::log10(v) : v;
        return from + (t - a) / (b - a) * (to - from);
    }
};

QString num(double v) {
    return QString::number(v, 'f', 1);
}
} // namespace

QByteArray plateMapSvg(const Kit &kit, const Analysis &analysis) {
    constexpr int cell = 54;
    constexpr int left = 22;
    constexpr int top = 18;
    static_assert(cell - 2 == 52, "the wells' size in the SVG below");
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\" "
                                 "role=\"img\" aria-label=\"%3\" class=\"map\">")
                      .arg(left + 12 * cell + 2)
                      .arg(top + 8 * cell + 2)
                      .arg(escaped(AssayReport::tr("Plate map")));
    for (int s = 0; s < plateStrips; ++s)
        svg += QStringLiteral("<text x=\"%1\" y=\"12\" class=\"head\">%2</text>")
                   .arg(left + s * cell + cell / 2)
                   .arg(s + 1);
    for (int r = 0; r < plateRows; ++r) {
        svg += QStringLiteral("<text x=\"8\" y=\"%1\" class=\"head\">%2</text>")
                   .arg(top + r * cell + cell / 2 + 4)
                   .arg(QChar(u'A' + r));
        // Put together piece by piece: a plate's 96 wells are the report's
        // largest part, and QString::arg would scan each piece again.
        for (int s = 0; s < plateStrips; ++s) {
            const QString &token = kit.layout[r][s];
            const WellRole role = kit.roleOf(token);
            const int x = left + s * cell;
            const int y = top + r * cell;
            svg += QLatin1String("<rect x=\"") + QString::number(x + 1) + QLatin1String("\" y=\"") +
                   QString::number(y + 1) +
                   QLatin1String("\" width=\"52\" height=\"52\" rx=\"6\" fill=\"") +
                   QLatin1String(roleColour(role)) +
                   QLatin1String("\" stroke=\"#555\" stroke-width=\"0.6\"/>");
            if (role == WellRole::Unused)
                continue;
            const QString middle = QString::number(x + cell / 2);
            svg += QLatin1String("<text x=\"") + middle + QLatin1String("\" y=\"") +
                   QString::number(y + 21) + QLatin1String("\" class=\"token\">") + escaped(token) +
                   QLatin1String("</text><text x=\"") + middle + QLatin1String("\" y=\"") +
                   QString::number(y + 40) + QLatin1String("\" class=\"od\">") +
                   shown(analysis.raw[r][s], 3) + QLatin1String("</text>");
        }
    }
    return (svg + QStringLiteral("</svg>")).toUtf8();
}

QByteArray curveSvg(const Kit &kit, const Analysis &analysis) {
    if (!analysis.curve || !kit.curve)
        return QByteArray();
    const Curve &curve = *analysis.curve;
    const bool log = curve.model == CurveModel::FourPL || curve.model == CurveModel::FivePL ||
                     curve.model == CurveModel::LogLinear;
    // The points: standards with their replicates, samples on the curve.
    struct Dot {
        double x;
        double y;
        bool sample;
    };
    std::vector<Dot> dots;
    double lowestPositive = curve.highestX;
    for (const GroupResult &group : analysis.groups) {
        if (group.role != WellRole::Standard)
            continue;
        for (const double od : group.od)
            dots.push_back({*group.concentration, od, false});
        if (*group.concentration > 0)
            lowestPositive = std::min(lowestPositive, *group.concentration);
    }
    for (const SampleResult &sample : analysis.samples)
        if (sample.concentration && sample.mean)
            dots.push_back({*sample.concentration / sample.dilution, *sample.mean, true});
    double yLow = 0;
    double yHigh = 0;
    for (const Dot &dot : dots) {
        yLow = std::min(yLow, dot.y);
        yHigh = std::max(yHigh, dot.y);
    }
    yHigh = yHigh > 0 ? yHigh * 1.08 : 1;
    const double xLow = log ? lowestPositive / 2 : std::min(0.0, curve.lowestX);
    const double xHigh = curve.highestX * (log ? 1.5 : 1.05);
    constexpr double width = 640, height = 360, left = 58, right = 16, top = 14, bottom = 44;
    const Axis ax{xLow, xHigh, log, left, width - right};
    const Axis ay{yLow, yHigh, false, height - bottom, top};
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\" "
                                 "role=\"img\" aria-label=\"%3\" class=\"curve\">")
                      .arg(width)
                      .arg(height)
                      .arg(escaped(AssayReport::tr("Standard curve")));
    svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"none\" "
                          "stroke=\"#777\"/>")
               .arg(left)
               .arg(top)
               .arg(width - left - right)
               .arg(height - top - bottom);
    // Ticks: decades on a log axis, tenths of the range on a linear one.
    QList<double> xTicks;
    if (log) {
        for (double d = std::pow(10, std::floor(std::log10(xLow))); d <= xHigh; d *= 10)
            if (d >= xLow)
                xTicks << d;
    } else {
        const double step = std::pow(10, std::floor(std::log10(std::max(xHigh - xLow, 1e-9))));
        for (double t = std::ceil(xLow / step) * step; t <= xHigh; t += step)
            xTicks << t;
    }
    for (const double t : xTicks)
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\" stroke=\"#ddd\"/>"
                              "<text x=\"%1\" y=\"%4\" class=\"tick\">%5</text>")
                   .arg(num(ax.at(t)), num(top), num(height - bottom), num(height - bottom + 14),
                        shownConcentration(t));
    const double yStep = std::pow(10, std::floor(std::log10(std::max(yHigh - yLow, 1e-9))));
    for (double t = std::ceil(yLow / yStep) * yStep; t <= yHigh; t += yStep / 2)
        svg +=
            QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#eee\"/>"
                           "<text x=\"%4\" y=\"%5\" class=\"tick\" text-anchor=\"end\">%6</text>")
                .arg(num(left), num(ay.at(t)), num(width - right), num(left - 4), num(ay.at(t) + 4),
                     QLocale().toString(t, 'f', 2));
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" class=\"axis\">%3</text>")
               .arg(num((left + width - right) / 2), num(height - 8),
                    escaped(kit.units.isEmpty()
                                ? AssayReport::tr("concentration")
                                : AssayReport::tr("concentration, %1").arg(kit.units)));
    svg += QStringLiteral("<text x=\"14\" y=\"%1\" class=\"axis\" transform=\"rotate(-90 14 %1)\">"
                          "%2</text>")
               .arg(num((top + height - bottom) / 2), escaped(AssayReport::tr("optical density")));
    // The fitted curve over the standards' range.
    QStringList path;
    const double from = log ? std::max(curve.lowestX, lowestPositive) : curve.lowestX;
    for (int i = 0; i <= 120; ++i) {
        const double t = i / 120.0;
        const double x = log ? std::pow(10, std::log10(from) +
                                                t * (std::log10(curve.highestX) - std::log10(from)))
                             : from + t * (curve.highestX - from);
        const double y = curve.y(x);
        if (std::isfinite(y))
            path << num(ax.at(x)) + QLatin1Char(',') + num(ay.at(std::clamp(y, yLow, yHigh)));
    }
    svg += QStringLiteral("<polyline points=\"%1\" fill=\"none\" stroke=\"#08519c\" "
                          "stroke-width=\"1.6\"/>")
               .arg(path.join(QLatin1Char(' ')));
    for (const Dot &dot : dots) {
        // A standard at 0 has no place on a log axis: it sits at its left edge.
        const double x = log && dot.x <= 0 ? xLow : dot.x;
        if (dot.sample)
            svg += QStringLiteral("<path d=\"M%1 %2 l6 6 m0 -6 l-6 6\" stroke=\"#238b45\" "
                                  "stroke-width=\"1.8\"/>")
                       .arg(num(ax.at(x) - 3), num(ay.at(dot.y) - 3));
        else
            svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"3.2\" fill=\"#08519c\"/>")
                       .arg(num(ax.at(x)), num(ay.at(dot.y)));
    }
    return (svg + QStringLiteral("</svg>")).toUtf8();
}

QStringList verdictLines(const Analysis &analysis) {
    const QLocale locale;
    QStringList lines{analysis.valid ? AssayReport::tr("The run is valid")
                                     : AssayReport::tr("The run is invalid")};
    QStringList failed;
    for (const RuleResult &rule : analysis.rules)
        if (!rule.held)
            failed << (rule.value ? AssayReport::tr("%1 (value %2)")
                                        .arg(rule.rule, locale.toString(*rule.value, 'g', 4))
                                  : AssayReport::tr("%1 (%2)").arg(rule.rule, rule.error));
    if (!failed.isEmpty())
        lines << AssayReport::tr("Rules not met: %1").arg(failed.join(QStringLiteral("; ")));
    lines << analysis.problems;
    return lines;
}

QStringList resultHeadings(const Kit &kit) {
    return {AssayReport::tr("Sample"),
            AssayReport::tr("Wells"),
            AssayReport::tr("OD"),
            AssayReport::tr("CV, %"),
            kit.cutoff
                ? AssayReport::tr("S/CO")
                : (kit.units.isEmpty() ? AssayReport::tr("Concentration")
                                       : AssayReport::tr("Concentration, %1").arg(kit.units)),
            AssayReport::tr("Result"),
            AssayReport::tr("Flags")};
}

QList<QStringList> resultRows(const Kit &kit, const Analysis &analysis) {
    const QLocale locale;
    QList<QStringList> rows;
    for (const SampleResult &sample : analysis.samples) {
        const QString name = sample.name.isEmpty()
                                 ? sample.token
                                 : QStringLiteral("%1 (%2)").arg(sample.name, sample.token);
        const QString value = kit.cutoff             ? shown(sample.sCo, 2)
                              : sample.concentration ? shownConcentration(*sample.concentration)
                                                     : QStringLiteral("—");
        const QString call = kit.cutoff ? verdictText(sample.verdict) : rangeText(sample.range);
        QString flags = flagsText(sample.flags);
        if (sample.dilution != 1)
            flags = AssayReport::tr("diluted 1:%1").arg(locale.toString(sample.dilution, 'g', 6)) +
                    (flags.isEmpty() ? QString() : QStringLiteral("; ") + flags);
        rows << QStringList{name,
                            sample.wells.join(QLatin1Char(' ')),
                            shown(sample.mean, 3),
                            shown(sample.cv, 1),
                            value,
                            call,
                            flags};
    }
    return rows;
}

QByteArray analysisReport(const Kit &kit, const Analysis &analysis, const Plate &plate,
                          const AnalysisRun &run) {
    const QLocale locale;
    QString html;
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\">"
                           "<title>%2</title>\n<style>\n")
                .arg(locale.language() == QLocale::Russian ? QStringLiteral("ru")
                                                           : QStringLiteral("en"),
                     escaped(kit.name));
    html += QStringLiteral(
        "@page { size: A4; margin: 10mm; }\n"
        "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 9pt; color: #111; "
        "margin: 0 auto; max-width: 190mm; }\n"
        "h1 { font-size: 14pt; margin: 0 0 2mm; } h2 { font-size: 10.5pt; margin: 3mm 0 1mm; }\n"
        "table { border-collapse: collapse; } td, th { border: 1px solid #bbb; padding: 1px 4px; "
        "text-align: left; }\n"
        "th { background: #f0f0f0; } td.n { text-align: right; font-variant-numeric: "
        "tabular-nums; }\n"
        ".verdict { font-size: 13pt; font-weight: bold; padding: 2mm 3mm; border: 2px solid; "
        "margin: 2mm 0; }\n"
        ".valid { color: #0b5d1e; border-color: #0b5d1e; background: #e5f5e0; }\n"
        ".invalid { color: #8b0000; border-color: #8b0000; background: #fde0dd; }\n"
        ".facts td { border: none; padding: 0 6px 0 0; } .pictures { display: flex; gap: 4mm; "
        "align-items: flex-start; }\n"
        "svg.map { width: 100mm; } svg.curve { width: 86mm; }\n"
        "svg text { font-family: 'DejaVu Sans', Arial, sans-serif; }\n"
        "svg .head { font-size: 11px; text-anchor: middle; } svg .token { font-size: 11px; "
        "text-anchor: middle; font-weight: bold; }\n"
        "svg .od { font-size: 11px; text-anchor: middle; } svg .tick { font-size: 10px; "
        "text-anchor: middle; } svg .axis { font-size: 11px; text-anchor: middle; }\n"
        ".legend span { display: inline-block; padding: 0 4px; margin-right: 4px; border: 1px "
        "solid #999; }\n"
        "table.raw td { font-size: 8pt; } .flag { color: #8b0000; }\n"
        "@media print { .pictures, table.rules, table.raw { break-inside: avoid; } h2 { "
        "break-after: "
        "avoid; } }\n"
        "</style></head><body>\n");
    html += QStringLiteral("<h1>%1</h1>\n").arg(escaped(kit.name));

    // The verdict first.
    const QStringList verdict = verdictLines(analysis);
    QStringList verdictHtml;
    for (const QString &line : verdict)
        verdictHtml << escaped(line);
    html += QStringLiteral("<div class=\"verdict %1\" role=\"status\">%2</div>\n")
                .arg(analysis.valid ? QStringLiteral("valid") : QStringLiteral("invalid"),
                     verdictHtml.join(QStringLiteral("<br>")));

    // The run's facts.
    const auto fact = [](const QString &name, const QString &value) {
        return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
            .arg(escaped(name), escaped(value));
    };
    html += QStringLiteral("<table class=\"facts\">\n");
    html += fact(AssayReport::tr("Kit file"), run.kitFile);
    html += fact(AssayReport::tr("Kit file SHA-256"), QString::fromLatin1(run.kitSha256));
    html += fact(AssayReport::tr("Plate"), run.source);
    html += fact(AssayReport::tr("Plate measured"),
                 locale.toString(plate.received().toLocalTime(), QLocale::ShortFormat));
    html += fact(AssayReport::tr("Plate SHA-256"), QString::fromLatin1(blockSha256(plate)));
    html += fact(AssayReport::tr("Analysed"),
                 locale.toString(run.time.toLocalTime(), QLocale::ShortFormat) +
                     QStringLiteral(", ") + run.program + QLatin1Char(' ') + run.version);
    html += fact(AssayReport::tr("Blank"),
                 kit.subtractBlank ? AssayReport::tr("mean of the blank wells, %1 subtracted")
                                         .arg(shown(analysis.blank, 3))
                                   : AssayReport::tr("not subtracted"));
    if (kit.cutoff)
        html += fact(AssayReport::tr("Cut-off"),
                     AssayReport::tr("%1 = %2, grey zone ±%3 %, positive %4")
                         .arg(kit.cutoff->formula, shown(analysis.cutoff, 3))
                         .arg(locale.toString(kit.cutoff->greyZone * 100, 'g', 3))
                         .arg(kit.cutoff->positiveAbove ? AssayReport::tr("above")
                                                        : AssayReport::tr("below")));
    if (kit.curve) {
        QString curveText = curveModelName(kit.curve->model);
        if (kit.curve->weighting != Weighting::None)
            curveText += AssayReport::tr(", weighting %1").arg(weightingName(kit.curve->weighting));
        if (analysis.curve) {
            static const char *const names[] = {"a", "b", "c", "d", "g"};
            const bool logistic =
                kit.curve->model == CurveModel::FourPL || kit.curve->model == CurveModel::FivePL;
            QStringList parameters;
            for (std::size_t i = 0; i < analysis.curve->parameters.size(); ++i)
                parameters << QStringLiteral("%1 = %2")
                                  .arg(QLatin1String(logistic ? names[i] : (i == 0 ? "m" : "q")))
                                  .arg(locale.toString(analysis.curve->parameters[i], 'g', 5));
            if (!parameters.isEmpty())
                curveText += QStringLiteral(": ") + parameters.join(QStringLiteral(", "));
            curveText += QStringLiteral("; R² = ") + locale.toString(analysis.curve->r2, 'f', 4);
        }
        html += fact(AssayReport::tr("Standard curve"), curveText);
    }
    for (const QString &note : analysis.notes)
        html += fact(AssayReport::tr("Note"), note);
    html += QStringLiteral("</table>\n");

    // The pictures.
    html += QStringLiteral("<div class=\"pictures\"><div><h2>%1</h2>\n")
                .arg(escaped(AssayReport::tr("Plate map")));
    html += QString::fromUtf8(plateMapSvg(kit, analysis));
    html += QStringLiteral("<div class=\"legend\">");
    for (const WellRole role :
         {WellRole::Blank, WellRole::Standard, WellRole::Control, WellRole::Sample})
        html += QStringLiteral("<span style=\"background:%1\">%2</span>")
                    .arg(QLatin1String(roleColour(role)), escaped(roleText(role)));
    html += QStringLiteral("</div></div>\n");
    const QByteArray curve = curveSvg(kit, analysis);
    if (!curve.isEmpty())
        html +=
            QStringLiteral("<div><h2>%1</h2>\n").arg(escaped(AssayReport::tr("Standard curve"))) +
            QString::fromUtf8(curve) + QStringLiteral("</div>\n");
    html += QStringLiteral("</div>\n");

    // The results.
    html += QStringLiteral("<h2>%1</h2>\n<table class=\"results\">\n<tr>")
                .arg(escaped(AssayReport::tr("Results")));
    for (const QString &heading : resultHeadings(kit))
        html += QStringLiteral("<th>%1</th>").arg(escaped(heading));
    html += QStringLiteral("</tr>\n");
    for (const QStringList &row : resultRows(kit, analysis)) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool number = c >= 2 && c <= 4;
            const bool flag = c == row.size() - 1;
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(number ? QStringLiteral(" class=\"n\"")
                             : flag ? QStringLiteral(" class=\"flag\"")
                                    : QString(),
                             number ? row[c] : escaped(row[c]));
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");

    // Standards and controls.
    // A kit without a curve has no concentrations to show.
    const bool curveColumns = kit.curve.has_value();
    QStringList headings{AssayReport::tr("Group"), AssayReport::tr("Wells"), AssayReport::tr("OD"),
                         AssayReport::tr("SD"), AssayReport::tr("CV, %")};
    if (curveColumns)
        headings << AssayReport::tr("Concentration") << AssayReport::tr("Back-calculated")
                 << AssayReport::tr("Recovery, %");
    html += QStringLiteral("<h2>%1</h2>\n<table>\n<tr>")
                .arg(escaped(AssayReport::tr("Blank, standards and controls")));
    for (const QString &heading : headings)
        html += QStringLiteral("<th>%1</th>").arg(escaped(heading));
    html += QStringLiteral("</tr>\n");
    for (const GroupResult &group : analysis.groups) {
        if (group.role == WellRole::Sample)
            continue;
        html +=
            QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"n\">%3</td>"
                           "<td class=\"n\">%4</td><td class=\"n\">%5</td>")
                .arg(escaped(group.token + QStringLiteral(" · ") + roleText(group.role)),
                     escaped(group.wells.join(QLatin1Char(' '))),
                     shown(group.stats.count ? std::optional(group.stats.mean) : std::nullopt, 3),
                     shown(group.stats.sd, 3), shown(group.stats.cv, 1));
        if (curveColumns)
            html +=
                QStringLiteral("<td class=\"n\">%1</td><td class=\"n\">%2</td>"
                               "<td class=\"n\">%3</td>")
                    .arg(group.concentration ? shownConcentration(*group.concentration) : QString(),
                         group.backCalculated ? shownConcentration(*group.backCalculated)
                                              : QString(),
                         shown(group.recovery, 1));
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");

    // The rules.
    if (!analysis.rules.isEmpty()) {
        html +=
            QStringLiteral("<h2>%1</h2>\n<table "
                           "class=\"rules\">\n<tr><th>%2</th><th>%3</th><th>%4</th></tr>\n")
                .arg(escaped(AssayReport::tr("Validity rules")), escaped(AssayReport::tr("Rule")),
                     escaped(AssayReport::tr("Value")), escaped(AssayReport::tr("Met")));
        for (const RuleResult &rule : analysis.rules)
            html +=
                QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td><td>%3</td></tr>\n")
                    .arg(escaped(rule.rule),
                         rule.value ? locale.toString(*rule.value, 'g', 4) : escaped(rule.error),
                         escaped(rule.held ? AssayReport::tr("yes") : AssayReport::tr("no")));
        html += QStringLiteral("</table>\n");
    }

    // The raw densities.
    html += QStringLiteral("<h2>%1</h2>\n<table class=\"raw\">\n<tr><th></th>")
                .arg(escaped(AssayReport::tr("Raw densities")));
    for (int s = 0; s < plateStrips; ++s)
        html += QStringLiteral("<th>%1</th>").arg(s + 1);
    html += QStringLiteral("</tr>\n");
    for (int r = 0; r < plateRows; ++r) {
        html += QStringLiteral("<tr><th>%1</th>").arg(QChar(u'A' + r));
        for (int s = 0; s < plateStrips; ++s)
            html += QStringLiteral("<td class=\"n\">%1</td>")
                        .arg(s < plate.strips() ? escaped(plate.valueText(s, r)) : QString());
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n</body></html>\n");
    return html.toUtf8();
}
