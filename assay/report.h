// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

enum class WellRole;
struct Analysis;
struct AnalysisRun;
struct Kit;
class Plate;

// The printable report of an analysis: one self-contained HTML page (no
// scripts, nothing from outside, A4 print styles) with the run's facts, the
// validity verdict first, the plate map and the curve as inline SVG, the
// results, the rules and the raw densities. In the language of the
// translations installed (context "AssayReport"), numbers in the locale's
// format.
QByteArray analysisReport(const Kit &kit, const Analysis &analysis, const Plate &plate,
                          const AnalysisRun &run);

// The two pictures on their own, as SVG elements.
QByteArray plateMapSvg(const Kit &kit, const Analysis &analysis);
QByteArray curveSvg(const Kit &kit, const Analysis &analysis); // empty without a curve

// The verdict as the report heads it: "The run is valid" or "The run is
// invalid", then the rules not met with their values, then the problems
// that kept the analysis from its answer; a line each.
QStringList verdictLines(const Analysis &analysis);
// The results table as the report shows it: its headings, and a row of texts
// per sample of analysis.samples, in that order (sample, wells, OD, CV %,
// S/CO or concentration, result, flags).
QStringList resultHeadings(const Kit &kit);
QList<QStringList> resultRows(const Kit &kit, const Analysis &analysis);

// A role's colour in the plate map ("#9ecae1") and its name ("standard").
const char *roleColour(WellRole role);
QString roleText(WellRole role);
