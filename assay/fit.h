// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A kit's standard curve: its models, how points are weighted, and the fit.

enum class CurveModel { Linear, LogLinear, PointToPoint, FourPL, FivePL };
enum class Weighting { None, InverseY, InverseY2 };

// One standard well: its concentration and its blank-corrected density.
struct CurvePoint {
    double x = 0;
    double y = 0;
};

// A fitted standard curve.
//   4PL:        y = d + (a - d) / (1 + (x/c)^b)              parameters {a, b, c, d}
//   5PL:        y = d + (a - d) / (1 + (x/c)^b)^g            parameters {a, b, c, d, g}
//   linear:     y = m x + q                                  parameters {m, q}
//   loglinear:  y = m log10(x) + q                           parameters {m, q}
//   point-to-point: straight lines between neighbouring standards' mean
//               densities (knots, by concentration), which must be monotone;
//               no parameters.
struct Curve {
    CurveModel model = CurveModel::Linear;
    std::vector<double> parameters;
    std::vector<CurvePoint> knots; // point-to-point only
    double r2 = 0;                 // of the points fitted, weighted as fitted
    // The range of the standards' concentrations and of their mean densities:
    // a sample outside the densities is below or above the range.
    double lowestX = 0;
    double highestX = 0;

    // The density the curve gives at concentration x (x > 0 for loglinear).
    double y(double x) const;
    // The concentration at density y; none where the curve does not reach y
    // or is not defined there.
    std::optional<double> x(double y) const;
};

struct CurveFit {
    std::optional<Curve> curve;
    QString error;     // why there is no curve, for a lab person (translatable, context "Assay")
    QStringList notes; // what was done that a reader should know ("standards at 0 left out")
};

// The parameters a model has: 4, 5, 2, 2, and 2 for point-to-point (it
// needs two distinct concentrations).
int parameterCount(CurveModel model);

// Fits the model through every point: replicates are separate points, not
// averaged first; a point at x = 0 is a point for the models that allow it
// (loglinear leaves those out, with a note). 1/y and 1/y^2 weight a point by
// its own density; a density <= 0 is weighted as the smallest positive
// density among the points. Fails with a message, never a NaN, when there are
// fewer distinct concentrations than the model has parameters, when every
// density is the same, when point-to-point means are not monotone, or when
// the solver does not converge.
CurveFit fitCurve(CurveModel model, const std::vector<CurvePoint> &points, Weighting weighting);
