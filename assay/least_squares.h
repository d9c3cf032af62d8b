// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Eigen/Core>

#include <functional>
#include <vector>

// Weighted nonlinear least squares, by Eigen's Levenberg–Marquardt (a port
// of MINPACK's lmder). The model, its function and its derivatives, is kept
// apart from the solver, so that the solver's use can be checked against
// certified problems with models of their own.
struct NonlinearModel {
    int parameterCount = 0;
    // f(x; p)
    std::function<double(double x, const Eigen::VectorXd &p)> value;
    // df/dp(x; p), one entry a parameter
    std::function<void(double x, const Eigen::VectorXd &p, Eigen::Ref<Eigen::VectorXd> gradient)>
        gradient;
};

struct NonlinearFit {
    Eigen::VectorXd parameters;
    double rss = 0; // sum of the weighted squared residuals at the solution
    bool converged = false;
    int iterations = 0;
};

// Minimises sum w_i (y_i - f(x_i; p))^2 from the start given. weights may be
// empty (all 1).
NonlinearFit fitNonlinear(const NonlinearModel &model, const std::vector<double> &x,
                          const std::vector<double> &y, const std::vector<double> &weights,
                          Eigen::VectorXd start);
