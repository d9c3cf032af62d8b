// SPDX-License-Identifier: GPL-3.0-or-later
#include "assay/fit.h"
#include "assay/least_squares.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(CurveModel)
Q_DECLARE_METATYPE(Weighting)
Q_DECLARE_METATYPE(CurvePoint)
Q_DECLARE_METATYPE(Curve)

namespace {

bool near(double actual, double expected, double relative) {
    return std::abs(actual - expected) <= relative * std::abs(expected);
}

Curve makeCurve(CurveModel model, std::vector<double> parameters,
                std::vector<CurvePoint> knots = {}) {
    Curve curve;
    curve.model = model;
    curve.parameters = std::move(parameters);
    curve.knots = std::move(knots);
    return curve;
}

// Duplicates at a 2-fold dilution series with a blank, from a 4PL or 5PL.
std::vector<CurvePoint> logisticStandards(double a, double b, double c, double d, double g) {
    std::vector<CurvePoint> points;
    for (double x : {0.0, 1.5625, 3.125, 6.25, 12.5, 25.0, 50.0, 100.0}) {
        const double y = d + (a - d) / std::pow(1 + std::pow(x / c, b), g);
        points.insert(points.end(), {{x, y}, {x, y}});
    }
    return points;
}

const QString allSame = "the standards' densities are all the same: no curve can be fitted";

} // namespace

class TestFit : public QObject {
    Q_OBJECT

private slots:
    void rat43_data();
    void rat43();
    void norris();
    void recoversItsParameters_data();
    void recoversItsParameters();
    void inverse_data();
    void inverse();
    void outsideTheRange_data();
    void outsideTheRange();
    void weighting_data();
    void weighting();
    void failures_data();
    void failures();
    void logLinearLeavesOutTheBlank();
};

// NIST StRD nonlinear regression, Ratkowsky3 (Rat43), higher difficulty:
// https://www.itl.nist.gov/div898/strd/nls/data/ratkowsky3.shtml
void TestFit::rat43_data() {
    QTest::addColumn<QList<double>>("start");
    QTest::newRow("start 1") << QList<double>{100, 10, 1, 1};
    QTest::newRow("start 2") << QList<double>{700, 5, 0.75, 1.3};
}

void TestFit::rat43() {
    QFETCH(QList<double>, start);
    NonlinearModel model;
    model.parameterCount = 4;
    model.value = [](double x, const Eigen::VectorXd &b) {
        return b[0] / std::pow(1 + std::exp(b[1] - b[2] * x), 1 / b[3]);
    };
    model.gradient = [](double x, const Eigen::VectorXd &b, Eigen::Ref<Eigen::VectorXd> g) {
        const double e = std::exp(b[1] - b[2] * x), u = 1 + e;
        const double f = b[0] / std::pow(u, 1 / b[3]);
        g[0] = f / b[0];
        g[1] = -f * e / (b[3] * u);
        g[2] = f * e * x / (b[3] * u);
        g[3] = f * std::log(u) / (b[3] * b[3]);
    };
    const std::vector<double> x{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::vector<double> y{16.08,  33.83,  65.80,  97.20,  191.55, 326.20, 386.87, 520.53,
                                590.03, 651.92, 724.93, 699.56, 689.96, 637.56, 717.41};
    const NonlinearFit fit =
        fitNonlinear(model, x, y, {}, Eigen::Map<const Eigen::VectorXd>(start.data(), 4));
    QVERIFY(fit.converged);
    const double certified[] = {6.9964151270E+02, 5.2771253025E+00, 7.5962938329E-01,
                                1.2792483859E+00};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(near(fit.parameters[i], certified[i], 1e-9), qPrintable(QString::number(i)));
    QVERIFY(near(fit.rss, 8.7864049080E+03, 1e-9));
}

// NIST StRD linear regression, Norris:
// https://www.itl.nist.gov/div898/strd/lls/data/Norris.shtml
void TestFit::norris() {
    const double x[] = {0.2,   337.4, 118.2, 884.6, 10.1,  226.5, 666.3, 996.3, 448.6,
                        777.0, 558.2, 0.4,   0.6,   775.5, 666.9, 338.0, 447.5, 11.6,
                        556.0, 228.1, 995.8, 887.6, 120.2, 0.3,   0.3,   556.8, 339.1,
                        887.2, 999.0, 779.0, 11.1,  118.3, 229.2, 669.1, 448.9, 0.5};
    const double y[] = {0.1,   338.8, 118.1, 888.0, 9.2,   228.1, 668.5, 998.5, 449.1,
                        778.9, 559.2, 0.3,   0.1,   778.1, 668.8, 339.3, 448.9, 10.8,
                        557.7, 228.3, 998.0, 888.8, 119.6, 0.3,   0.6,   557.6, 339.3,
                        888.0, 998.5, 778.9, 10.2,  117.6, 228.9, 668.4, 449.2, 0.2};
    std::vector<CurvePoint> points;
    for (int i = 0; i < 36; ++i)
        points.push_back({x[i], y[i]});
    const CurveFit fit = fitCurve(CurveModel::Linear, points, Weighting::None);
    QVERIFY(fit.curve);
    QVERIFY(near(fit.curve->parameters[0], 1.00211681802045, 1e-12));
    QVERIFY(near(fit.curve->parameters[1], -0.262323073774029, 1e-11));
    QVERIFY(near(fit.curve->r2, 0.999993745883712, 1e-13));
    QCOMPARE(fit.curve->lowestX, 0.2);
    QCOMPARE(fit.curve->highestX, 999.0);
}

// Standards made from known parameters give them back; a 5PL through a
// 4PL's points finds g = 1.
void TestFit::recoversItsParameters_data() {
    QTest::addColumn<CurveModel>("model");
    QTest::addColumn<Weighting>("weighting");
    QTest::addColumn<std::vector<double>>("parameters");
    QTest::newRow("4PL") << CurveModel::FourPL << Weighting::None
                         << std::vector<double>{0.05, 1.2, 25, 2.5};
    QTest::newRow("4PL falling, 1/y^2")
        << CurveModel::FourPL << Weighting::InverseY2 << std::vector<double>{2.5, 0.8, 10, 0.1};
    QTest::newRow("5PL from a 4PL")
        << CurveModel::FivePL << Weighting::None << std::vector<double>{0.05, 1.2, 25, 2.5, 1};
    QTest::newRow("5PL falling, 1/y")
        << CurveModel::FivePL << Weighting::InverseY << std::vector<double>{2.8, 1.5, 20, 0.1, 0.6};
}

void TestFit::recoversItsParameters() {
    QFETCH(CurveModel, model);
    QFETCH(Weighting, weighting);
    QFETCH(std::vector<double>, parameters);
    const auto &p = parameters;
    const CurveFit fit = fitCurve(
        model, logisticStandards(p[0], p[1], p[2], p[3], p.size() == 5 ? p[4] : 1), weighting);
    QVERIFY2(fit.curve, qPrintable(fit.error));
    QCOMPARE(fit.curve->parameters.size(), p.size());
    for (size_t i = 0; i < p.size(); ++i)
        QVERIFY2(near(fit.curve->parameters[i], p[i], 1e-7), qPrintable(QString::number(i)));
    QVERIFY(near(fit.curve->r2, 1, 1e-12));
    QCOMPARE(fit.curve->lowestX, 0.0);
    QCOMPARE(fit.curve->highestX, 100.0);
}

// Each row: a curve, a concentration and the density there, worked by hand.
void TestFit::inverse_data() {
    QTest::addColumn<Curve>("curve");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    const Curve rising4 = makeCurve(CurveModel::FourPL, {0, 2, 10, 2});
    QTest::newRow("4PL at c") << rising4 << 10.0 << 1.0;    // 2 - 2/2
    QTest::newRow("4PL above c") << rising4 << 20.0 << 1.6; // 2 - 2/(1 + 4)
    QTest::newRow("4PL falling") << makeCurve(CurveModel::FourPL, {2, 1, 4, 0.1}) << 12.0
                                 << 0.575; // 0.1 + 1.9/(1 + 3)
    QTest::newRow("5PL g = 2") << makeCurve(CurveModel::FivePL, {0, 1, 10, 2, 2}) << 30.0
                               << 1.875; // 2 - 2/(1 + 3)^2
    QTest::newRow("5PL g = 1/2") << makeCurve(CurveModel::FivePL, {0, 1, 10, 2, 0.5}) << 30.0
                                 << 1.0; // 2 - 2/sqrt(4)
    QTest::newRow("linear") << makeCurve(CurveModel::Linear, {0.02, 0.1}) << 50.0 << 1.1;
    const Curve logLinear = makeCurve(CurveModel::LogLinear, {0.8, 0.2});
    QTest::newRow("loglinear") << logLinear << 100.0 << 1.8;
    QTest::newRow("loglinear below 1") << logLinear << 0.1 << -0.6;
    const Curve p2p =
        makeCurve(CurveModel::PointToPoint, {}, {{0, 0.1}, {10, 0.5}, {50, 1.7}, {100, 2.1}});
    QTest::newRow("point-to-point") << p2p << 30.0 << 1.1; // 0.5 + 1.2 * 20/40
    QTest::newRow("point-to-point last") << p2p << 75.0 << 1.9;
    QTest::newRow("point-to-point knot") << p2p << 10.0 << 0.5;
    QTest::newRow("point-to-point falling")
        << makeCurve(CurveModel::PointToPoint, {}, {{1, 2.0}, {5, 1.0}, {25, 0.2}}) << 15.0
        << 0.6; // 1.0 - 0.8 * 10/20
}

void TestFit::inverse() {
    QFETCH(Curve, curve);
    QFETCH(double, x);
    QFETCH(double, y);
    QVERIFY(std::abs(curve.y(x) - y) < 1e-12);
    const std::optional<double> back = curve.x(y);
    QVERIFY(back);
    QVERIFY(near(*back, x, 1e-12));
}

void TestFit::outsideTheRange_data() {
    QTest::addColumn<Curve>("curve");
    QTest::addColumn<double>("y");
    const Curve rising4 = makeCurve(CurveModel::FourPL, {0.05, 1.2, 25, 2.5});
    QTest::newRow("4PL above the top") << rising4 << 2.6;
    QTest::newRow("4PL at the top") << rising4 << 2.5;
    QTest::newRow("4PL at the bottom") << rising4 << 0.05;
    QTest::newRow("4PL below the bottom") << rising4 << 0.0;
    QTest::newRow("4PL falling, above") << makeCurve(CurveModel::FourPL, {2, 1, 4, 0.1}) << 2.1;
    QTest::newRow("5PL above the top") << makeCurve(CurveModel::FivePL, {0, 1, 10, 2, 0.5}) << 3.0;
    QTest::newRow("flat line") << makeCurve(CurveModel::Linear, {0, 0.5}) << 0.5;
    QTest::newRow("loglinear overflow") << makeCurve(CurveModel::LogLinear, {0.8, 0.2}) << 1000.0;
    const Curve p2p = makeCurve(CurveModel::PointToPoint, {}, {{0, 0.1}, {10, 0.5}, {50, 1.7}});
    QTest::newRow("beyond the last knot") << p2p << 1.8;
    QTest::newRow("below the first knot") << p2p << 0.05;
}

void TestFit::outsideTheRange() {
    QFETCH(Curve, curve);
    QFETCH(double, y);
    QVERIFY(!curve.x(y));
}

// Three points (1, 1), (2, 2), (3, 4). With weights w the normal equations
// are  sw q + swx m = swy,  swx q + swx2 m = swxy.
//   none:  m = 3/2, q = 7/3 - 2 m = -2/3
//   1/y:   w = 1, 1/2, 1/4; times 4: 7q + 11m = 12, 11q + 21m = 24;
//          m = 36/26 = 18/13, q = -12/26 = -6/13
//   1/y^2: w = 1, 1/4, 1/16; times 16: 21q + 27m = 28, 27q + 41m = 44;
//          m = 168/132 = 14/11, q = -40/132 = -10/33; weighted mean 4/3,
//          SStot = 2/3, SSres = 1/33, R^2 = 1 - 1/22 = 21/22
// (1, 0), (2, 2), (3, 3): the 0 is weighted as the density 2.
//   1/y:   w = 1/2, 1/2, 1/3; times 6: 8q + 15m = 12, 15q + 33m = 30;
//          m = 60/39 = 20/13, q = -54/39 = -18/13
//   1/y^2: w = 1/4, 1/4, 1/9; times 36: 22q + 39m = 30, 39q + 81m = 72;
//          m = 414/261 = 46/29, q = -378/261 = -42/29
void TestFit::weighting_data() {
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("y3");
    QTest::addColumn<Weighting>("weighting");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("q");
    QTest::newRow("none") << 1.0 << 4.0 << Weighting::None << 3.0 / 2 << -2.0 / 3;
    QTest::newRow("1/y") << 1.0 << 4.0 << Weighting::InverseY << 18.0 / 13 << -6.0 / 13;
    QTest::newRow("1/y^2") << 1.0 << 4.0 << Weighting::InverseY2 << 14.0 / 11 << -10.0 / 33;
    QTest::newRow("0 at 1/y") << 0.0 << 3.0 << Weighting::InverseY << 20.0 / 13 << -18.0 / 13;
    QTest::newRow("0 at 1/y^2") << 0.0 << 3.0 << Weighting::InverseY2 << 46.0 / 29 << -42.0 / 29;
}

void TestFit::weighting() {
    QFETCH(double, y1);
    QFETCH(double, y3);
    QFETCH(Weighting, weighting);
    QFETCH(double, m);
    QFETCH(double, q);
    const CurveFit fit = fitCurve(CurveModel::Linear, {{1, y1}, {2, 2}, {3, y3}}, weighting);
    QVERIFY(fit.curve);
    QVERIFY(near(fit.curve->parameters[0], m, 1e-14));
    QVERIFY(near(fit.curve->parameters[1], q, 1e-14));
    if (weighting == Weighting::InverseY2 && y1 == 1)
        QVERIFY(near(fit.curve->r2, 21.0 / 22, 1e-14));
}

// Each row: points no curve of the model goes through, and a word of the
// message that says why.
void TestFit::failures_data() {
    QTest::addColumn<CurveModel>("model");
    QTest::addColumn<std::vector<CurvePoint>>("points");
    QTest::addColumn<Weighting>("weighting");
    QTest::addColumn<QString>("error");
    const std::vector<CurvePoint> flat{{0, 0.7}, {1, 0.7}, {2, 0.7}, {4, 0.7}, {8, 0.7}};
    QTest::newRow("4PL, all the same") << CurveModel::FourPL << flat << Weighting::None << allSame;
    QTest::newRow("linear, all the same")
        << CurveModel::Linear << flat << Weighting::None << allSame;
    const std::vector<CurvePoint> three{{1, 0.1}, {1, 0.2}, {2, 0.5}, {2, 0.6}, {4, 1.1}};
    QTest::newRow("4PL, 3 concentrations")
        << CurveModel::FourPL << three << Weighting::None << "at 4 different concentrations";
    const std::vector<CurvePoint> four{{1, 0.1}, {2, 0.5}, {4, 1.1}, {8, 1.6}};
    QTest::newRow("5PL, 4 concentrations")
        << CurveModel::FivePL << four << Weighting::None << "at 5 different concentrations";
    QTest::newRow("point-to-point, 1 concentration")
        << CurveModel::PointToPoint << std::vector<CurvePoint>{{5, 0.1}, {5, 0.3}}
        << Weighting::None << "at 2 different concentrations";
    QTest::newRow("point-to-point, up and down")
        << CurveModel::PointToPoint
        << std::vector<CurvePoint>{{1, 0.2}, {2, 0.9}, {2, 0.7}, {4, 0.6}} << Weighting::None
        << "rise or fall";
    QTest::newRow("weighted, no density above 0")
        << CurveModel::Linear << std::vector<CurvePoint>{{1, -0.1}, {2, 0}} << Weighting::InverseY
        << "weighted";
}

void TestFit::failures() {
    QFETCH(CurveModel, model);
    QFETCH(std::vector<CurvePoint>, points);
    QFETCH(Weighting, weighting);
    QFETCH(QString, error);
    const CurveFit fit = fitCurve(model, points, weighting);
    QVERIFY(!fit.curve);
    QVERIFY2(fit.error.contains(error), qPrintable(fit.error));
}

void TestFit::logLinearLeavesOutTheBlank() {
    // y = 0.8 log10(x) + 0.2, with a blank that would not be on it.
    const std::vector<CurvePoint> points{{0, 0.05}, {0, 0.06}, {1, 0.2}, {10, 1.0}, {100, 1.8}};
    const CurveFit fit = fitCurve(CurveModel::LogLinear, points, Weighting::None);
    QVERIFY(fit.curve);
    QCOMPARE(fit.notes, QStringList{"standards at 0 left out of the log-linear fit"});
    QVERIFY(near(fit.curve->parameters[0], 0.8, 1e-14));
    QVERIFY(near(fit.curve->parameters[1], 0.2, 1e-14));
    QCOMPARE(fit.curve->lowestX, 1.0);
    QVERIFY(
        fitCurve(CurveModel::LogLinear, {{1, 0.2}, {10, 1.0}}, Weighting::None).notes.isEmpty());
}

QTEST_GUILESS_MAIN(TestFit)
#include "test_fit.moc"
