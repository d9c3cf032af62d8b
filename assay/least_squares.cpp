// SPDX-License-Identifier: GPL-3.0-or-later
#include "least_squares.h"

#include <Eigen/QR>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <cmath>
#include <limits>

namespace {

// The residuals sqrt(w_i) (f(x_i; p) - y_i) and their Jacobian, as the
// solver asks for them.
struct Residuals : Eigen::DenseFunctor<double> {
    Residuals(const NonlinearModel &model, const std::vector<double> &x,
              const std::vector<double> &y, const std::vector<double> &rootWeights)
        : DenseFunctor<double>(model.parameterCount, int(x.size()))
        , model(model)
        , x(x)
        , y(y)
        , rootWeights(rootWeights) {}

    int operator()(const InputType &p, ValueType &r) const {
        for (int i = 0; i < values(); ++i)
            r[i] = rootWeights[size_t(i)] * (model.value(x[size_t(i)], p) - y[size_t(i)]);
        // A step to where the model is not defined is given a huge residual:
        // the solver refuses it and takes a shorter one.
        if (!r.allFinite())
            r.setConstant(1e150);
        return 0;
    }

    int df(const InputType &p, JacobianType &jacobian) const {
        Eigen::VectorXd gradient(inputs());
        for (int i = 0; i < values(); ++i) {
            gradient.setZero();
            model.gradient(x[size_t(i)], p, gradient);
            jacobian.row(i) = rootWeights[size_t(i)] * gradient.transpose();
        }
        // A negative answer stops the solver: it reports no convergence.
        return jacobian.allFinite() ? 0 : -1;
    }

    const NonlinearModel &model;
    const std::vector<double> &x;
    const std::vector<double> &y;
    const std::vector<double> &rootWeights;
};

// Gauss-Newton steps from the solver's answer. The solver stops once the
// sum of squares no longer falls in double precision, which fixes the
// parameters only to about the square root of the rounding unit; the steps,
// each solved by QR from the residuals themselves, go on while they shrink
// and the sum does not grow. Returns the steps taken.
int polish(Residuals &residuals, Eigen::VectorXd &p) {
    const int n = residuals.values();
    Eigen::VectorXd r(n), trialResiduals(n);
    Eigen::MatrixXd jacobian(n, residuals.inputs());
    residuals(p, r);
    double previousStep = std::numeric_limits<double>::infinity();
    int steps = 0;
    for (int i = 0; i < 50; ++i) {
        if (residuals.df(p, jacobian) < 0)
            break;
        const Eigen::VectorXd step = jacobian.colPivHouseholderQr().solve(-r);
        const double size = step.norm();
        if (!step.allFinite() || size > previousStep / 2)
            break;
        const Eigen::VectorXd trial = p + step;
        residuals(trial, trialResiduals);
        if (!(trialResiduals.squaredNorm() <= r.squaredNorm() * (1 + 1e-12)))
            break;
        p = trial;
        r = trialResiduals;
        previousStep = size;
        ++steps;
        if ((step.array().abs() <= 1e-14 * p.array().abs()).all())
            break;
    }
    return steps;
}

bool isConverged(Eigen::LevenbergMarquardtSpace::Status status) {
    using namespace Eigen::LevenbergMarquardtSpace;
    return status == RelativeReductionTooSmall || status == RelativeErrorTooSmall ||
           status == RelativeErrorAndReductionTooSmall || status == CosinusTooSmall;
}

} // namespace

NonlinearFit fitNonlinear(const NonlinearModel &model, const std::vector<double> &x,
                          const std::vector<double> &y, const std::vector<double> &weights,
                          Eigen::VectorXd start) {
    NonlinearFit fit;
    fit.parameters = start;
    const size_t n = x.size();
    if (model.parameterCount <= 0 || start.size() != model.parameterCount || y.size() != n ||
        (!weights.empty() && weights.size() != n) || n < size_t(model.parameterCount) ||
        !model.value || !model.gradient || !start.allFinite())
        return fit;

    std::vector<double> rootWeights(n, 1.0);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (!(weights[i] >= 0) || !std::isfinite(weights[i]))
            return fit;
        rootWeights[i] = std::sqrt(weights[i]);
    }

    Residuals residuals(model, x, y, rootWeights);
    Eigen::LevenbergMarquardt<Residuals> solver(residuals);
    solver.setFtol(1e-12);
    solver.setXtol(1e-12);
    // A gradient tolerance of one rounding unit: a vanishing gradient ends
    // the fit as converged, never as "tolerance too small".
    solver.setGtol(std::numeric_limits<double>::epsilon());
    solver.setMaxfev(5000);

    Eigen::VectorXd p = start;
    const auto status = solver.minimize(p);
    const bool solved = isConverged(status) && p.allFinite();
    fit.iterations = int(solver.iterations());
    if (solved)
        fit.iterations += polish(residuals, p);
    fit.parameters = p;

    double rss = 0;
    for (size_t i = 0; i < n; ++i) {
        const double r = model.value(x[i], p) - y[i];
        rss += (weights.empty() ? 1.0 : weights[i]) * r * r;
    }
    fit.rss = rss;
    fit.converged = solved && std::isfinite(rss);
    return fit;
}
