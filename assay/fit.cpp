// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit.h"

#include "least_squares.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// ln(1 + e^t), without overflow.
double softplus(double t) {
    return t > 0 ? t + std::log1p(std::exp(-t)) : std::log1p(std::exp(t));
}

// 1 / (1 + e^t), without overflow.
double logistic(double t) {
    if (t > 0) {
        const double e = std::exp(-t);
        return e / (1 + e);
    }
    return 1 / (1 + std::exp(t));
}

// The logistic curves, y = d + (a - d) / (1 + (x/c)^b)^g, written with
// t = ln((x/c)^b), so that x = 0 (t = -inf) and steep curves stay finite.
double logisticValue(double x, double a, double b, double c, double d, double g) {
    if (x <= 0)
        return a;
    const double t = b * (std::log(x) - std::log(c));
    return d + (a - d) * std::exp(-g * softplus(t));
}

// The fit moves on (a, ln b, ln c, d[, ln g]): b, c and g stay positive
// whatever step the solver takes, and (x/c)^b is defined for every x >= 0.
NonlinearModel logisticModel(bool fivePL) {
    NonlinearModel model;
    model.parameterCount = fivePL ? 5 : 4;
    model.value = [fivePL](double x, const Eigen::VectorXd &q) {
        return logisticValue(x, q[0], std::exp(q[1]), std::exp(q[2]), q[3],
                             fivePL ? std::exp(q[4]) : 1.0);
    };
    model.gradient = [fivePL](double x, const Eigen::VectorXd &q,
                              Eigen::Ref<Eigen::VectorXd> gradient) {
        const double a = q[0], b = std::exp(q[1]), lnc = q[2], d = q[3];
        const double g = fivePL ? std::exp(q[4]) : 1.0;
        if (x <= 0) {
            // y = a whatever the other parameters are
            gradient.setZero();
            gradient[0] = 1;
            return;
        }
        const double t = b * (std::log(x) - lnc);
        const double sp = softplus(t);
        const double s = std::exp(-g * sp);                  // (1 + e^t)^-g
        const double slope = (a - d) * g * s * logistic(-t); // -dy/dt
        gradient[0] = s;
        gradient[1] = -slope * t; // dt/d(ln b) = t
        gradient[2] = slope * b;  // dt/d(ln c) = -b
        gradient[3] = 1 - s;
        if (fivePL)
            gradient[4] = -(a - d) * g * s * sp;
    };
    return model;
}

QString notEnoughConcentrations(int needed, int have) {
    return QCoreApplication::translate(
               "Assay", "this curve needs standards at %1 different concentrations or more, "
                        "and there are %2")
        .arg(needed)
        .arg(have);
}

QString notFitted() {
    return QCoreApplication::translate(
        "Assay", "the curve could not be fitted to the standards: check the standards' "
                 "densities, or choose another curve");
}

// Mean density per distinct concentration, by concentration.
std::vector<CurvePoint> meansByConcentration(std::vector<CurvePoint> points) {
    std::sort(points.begin(), points.end(),
              [](const CurvePoint &p, const CurvePoint &q) { return p.x < q.x; });
    std::vector<CurvePoint> means;
    size_t count = 0;
    for (const CurvePoint &p : points) {
        if (means.empty() || means.back().x != p.x) {
            if (!means.empty())
                means.back().y /= double(count);
            means.push_back(p);
            count = 1;
        } else {
            means.back().y += p.y;
            ++count;
        }
    }
    if (!means.empty())
        means.back().y /= double(count);
    return means;
}

// Weighted least-squares line y = m x + q, centred for accuracy.
std::optional<std::pair<double, double>>
fitLine(const std::vector<double> &x, const std::vector<double> &y, const std::vector<double> &w) {
    double sw = 0, swx = 0, swy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sw += w[i];
        swx += w[i] * x[i];
        swy += w[i] * y[i];
    }
    const double xm = swx / sw, ym = swy / sw;
    double sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxx += w[i] * (x[i] - xm) * (x[i] - xm);
        sxy += w[i] * (x[i] - xm) * (y[i] - ym);
    }
    if (!(sxx > 0))
        return std::nullopt;
    const double m = sxy / sxx;
    return std::pair{m, ym - m * xm};
}

// A start for the logistic fit from the data: a and d the mean densities at
// the lowest and highest concentration, c where the means cross the middle
// density, b = 1.
Eigen::VectorXd logisticStart(const std::vector<CurvePoint> &means) {
    const double a = means.front().y, d = means.back().y, mid = (a + d) / 2;
    double c = 0;
    for (size_t i = 0; i + 1 < means.size() && c == 0; ++i) {
        const CurvePoint &p = means[i], &q = means[i + 1];
        if ((p.y - mid) * (q.y - mid) > 0 || p.y == q.y)
            continue;
        if (p.x <= 0) {
            c = q.x;
        } else {
            const double f = (mid - p.y) / (q.y - p.y);
            c = std::exp(std::log(p.x) + f * (std::log(q.x) - std::log(p.x)));
        }
    }
    if (!(c > 0)) {
        double logSum = 0;
        int n = 0;
        for (const CurvePoint &p : means) {
            if (p.x > 0) {
                logSum += std::log(p.x);
                ++n;
            }
        }
        c = std::exp(logSum / n);
    }
    Eigen::VectorXd q(4);
    q << a, 0.0, std::log(c), d;
    return q;
}

double rSquared(const Curve &curve, const std::vector<double> &x, const std::vector<double> &y,
                const std::vector<double> &w) {
    double sw = 0, swy = 0;
    for (size_t i = 0; i < y.size(); ++i) {
        sw += w[i];
        swy += w[i] * y[i];
    }
    const double ym = swy / sw;
    double ssRes = 0, ssTot = 0;
    for (size_t i = 0; i < y.size(); ++i) {
        const double r = y[i] - curve.y(x[i]);
        ssRes += w[i] * r * r;
        ssTot += w[i] * (y[i] - ym) * (y[i] - ym);
    }
    return 1 - ssRes / ssTot;
}

} // namespace

int parameterCount(CurveModel model) {
    switch (model) {
    case CurveModel::Linear:
    case CurveModel::LogLinear:
    case CurveModel::PointToPoint:
        return 2;
    case CurveModel::FourPL:
        return 4;
    case CurveModel::FivePL:
        return 5;
    }
    return 0;
}

double Curve::y(double x) const {
    const auto &p = parameters;
    switch (model) {
    case CurveModel::Linear:
        return p.size() == 2 ? p[0] * x + p[1] : 0;
    case CurveModel::LogLinear:
        return p.size() == 2 ? p[0] * std::log10(x) + p[1] : 0;
    case CurveModel::FourPL:
        return p.size() == 4 ? logisticValue(x, p[0], p[1], p[2], p[3], 1) : 0;
    case CurveModel::FivePL:
        return p.size() == 5 ? logisticValue(x, p[0], p[1], p[2], p[3], p[4]) : 0;
    case CurveModel::PointToPoint: {
        if (knots.empty())
            return 0;
        if (knots.size() == 1)
            return knots.front().y;
        // Beyond the knots the end segments go on.
        size_t i = 1;
        while (i + 1 < knots.size() && x > knots[i].x)
            ++i;
        const CurvePoint &l = knots[i - 1], &r = knots[i];
        return l.y + (x - l.x) * (r.y - l.y) / (r.x - l.x);
    }
    }
    return 0;
}

std::optional<double> Curve::x(double y) const {
    const auto &p = parameters;
    std::optional<double> x;
    switch (model) {
    case CurveModel::Linear:
        if (p.size() == 2 && p[0] != 0)
            x = (y - p[1]) / p[0];
        break;
    case CurveModel::LogLinear:
        if (p.size() == 2 && p[0] != 0)
            x = std::pow(10.0, (y - p[1]) / p[0]);
        break;
    case CurveModel::FourPL:
    case CurveModel::FivePL: {
        const bool five = model == CurveModel::FivePL;
        if (p.size() != (five ? 5u : 4u))
            break;
        const double a = p[0], b = p[1], c = p[2], d = p[3], g = five ? p[4] : 1.0;
        if (!(std::min(a, d) < y && y < std::max(a, d)))
            break;
        x = c * std::pow(std::pow((a - d) / (y - d), 1 / g) - 1, 1 / b);
        if (!(*x > 0))
            x.reset();
        break;
    }
    case CurveModel::PointToPoint:
        for (size_t i = 0; i + 1 < knots.size(); ++i) {
            const CurvePoint &l = knots[i], &r = knots[i + 1];
            if (std::min(l.y, r.y) <= y && y <= std::max(l.y, r.y) && l.y != r.y) {
                x = l.x + (y - l.y) * (r.x - l.x) / (r.y - l.y);
                break;
            }
        }
        break;
    }
    if (x && !std::isfinite(*x))
        x.reset();
    return x;
}

CurveFit fitCurve(CurveModel model, const std::vector<CurvePoint> &points, Weighting weighting) {
    CurveFit fit;
    const auto failed = [&fit](const QString &error) {
        fit.curve.reset();
        fit.error = error;
        return fit;
    };

    for (const CurvePoint &p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return failed(QCoreApplication::translate(
                "Assay", "a standard's concentration or density is not a number"));
    }

    std::vector<CurvePoint> used;
    if (model == CurveModel::LogLinear) {
        for (const CurvePoint &p : points) {
            if (p.x > 0)
                used.push_back(p);
        }
        if (used.size() < points.size())
            fit.notes << QCoreApplication::translate(
                "Assay", "standards at 0 left out of the log-linear fit");
    } else {
        used = points;
    }
    const bool logistic = model == CurveModel::FourPL || model == CurveModel::FivePL;
    if (logistic && std::any_of(used.begin(), used.end(), [](auto &p) { return p.x < 0; }))
        return failed(QCoreApplication::translate(
            "Assay", "a standard has a concentration below 0, where this curve is not defined"));

    const std::vector<CurvePoint> means = meansByConcentration(used);
    if (int(means.size()) < parameterCount(model))
        return failed(notEnoughConcentrations(parameterCount(model), int(means.size())));
    if (std::all_of(used.begin(), used.end(), [&](auto &p) { return p.y == used.front().y; }))
        return failed(QCoreApplication::translate(
            "Assay", "the standards' densities are all the same: no curve can be fitted"));

    std::vector<double> x, y, w;
    double smallestPositive = infinity;
    for (const CurvePoint &p : used) {
        x.push_back(p.x);
        y.push_back(p.y);
        if (p.y > 0)
            smallestPositive = std::min(smallestPositive, p.y);
    }
    if (weighting != Weighting::None && smallestPositive == infinity)
        return failed(QCoreApplication::translate(
            "Assay", "no standard has a density above 0, so the points cannot be weighted by "
                     "their density: choose no weighting"));
    for (double density : y) {
        const double v = density > 0 ? density : smallestPositive;
        w.push_back(weighting == Weighting::InverseY    ? 1 / v
                    : weighting == Weighting::InverseY2 ? 1 / (v * v)
                                                        : 1.0);
    }

    Curve curve;
    curve.model = model;
    switch (model) {
    case CurveModel::Linear:
    case CurveModel::LogLinear: {
        std::vector<double> u = x;
        if (model == CurveModel::LogLinear)
            std::transform(u.begin(), u.end(), u.begin(), [](double v) { return std::log10(v); });
        const auto line = fitLine(u, y, w);
        if (!line)
            return failed(notFitted());
        curve.parameters = {line->first, line->second};
        break;
    }
    case CurveModel::PointToPoint: {
        bool rising = true, falling = true;
        for (size_t i = 0; i + 1 < means.size(); ++i) {
            rising = rising && means[i + 1].y > means[i].y;
            falling = falling && means[i + 1].y < means[i].y;
        }
        if (!rising && !falling)
            return failed(QCoreApplication::translate(
                "Assay", "the standards' mean densities do not steadily rise or fall with the "
                         "concentration, so no point-to-point curve can be drawn through them"));
        curve.knots = means;
        break;
    }
    case CurveModel::FourPL:
    case CurveModel::FivePL: {
        Eigen::VectorXd start = logisticStart(means);
        NonlinearFit four = fitNonlinear(logisticModel(false), x, y, w, start);
        NonlinearFit result = four;
        if (model == CurveModel::FivePL) {
            // From the 4PL's curve where it was found, with g = 1.
            Eigen::VectorXd start5(5);
            start5 << (four.converged ? four.parameters : start), 0.0;
            result = fitNonlinear(logisticModel(true), x, y, w, start5);
        }
        if (!result.converged)
            return failed(notFitted());
        const Eigen::VectorXd &q = result.parameters;
        curve.parameters = {q[0], std::exp(q[1]), std::exp(q[2]), q[3]};
        if (model == CurveModel::FivePL)
            curve.parameters.push_back(std::exp(q[4]));
        for (size_t i = 0; i < curve.parameters.size(); ++i) {
            const double v = curve.parameters[i];
            if (!std::isfinite(v) || (i != 0 && i != 3 && !(v > 0)))
                return failed(notFitted());
        }
        break;
    }
    }

    curve.lowestX = means.front().x;
    curve.highestX = means.back().x;
    curve.r2 = rSquared(curve, x, y, w);
    if (!std::isfinite(curve.r2))
        return failed(notFitted());
    fit.curve = curve;
    return fit;
}
