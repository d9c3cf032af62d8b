// SPDX-License-Identifier: GPL-3.0-or-later
#include "assay/formula.h"

#include <QTest>

#include <cmath>

namespace {

const GroupDensities groups = {
    {"NC", {0.050, 0.060, 0.070}}, {"PC", {1.100, 1.300}}, {"S6", {2.000, 2.200}}, {"X1", {0.400}},
    {"Z", {-0.010, 0.010}},        {"EMPTY", {}},
};

bool near(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

} // namespace

class TestFormula : public QObject {
    Q_OBJECT

private slots:
    void stats_data();
    void stats();
    void values_data();
    void values();
    void errors_data();
    void errors();
    void check();
};

void TestFormula::stats_data() {
    QTest::addColumn<QList<double>>("densities");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("sd"); // -1: none
    QTest::addColumn<double>("cv"); // -1: none
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    // NC: mean 0.180 / 3 = 0.060; deviations -0.010, 0, 0.010; squares 0.0002,
    // over n - 1 = 2: 0.0001, SD 0.010; CV 0.010 / 0.060 = 16.667 %.
    QTest::addRow("three") << groups["NC"] << 3 << 0.060 << 0.010 << 16.6666667 << 0.050 << 0.070;
    // Out of order: min and max are not the first and the last; CV 0.1 / 1.2 = 8.333 %.
    QTest::addRow("unordered") << QList{1.3, 1.1, 1.2} << 3 << 1.2 << 0.1 << 8.3333333 << 1.1
                               << 1.3;
    QTest::addRow("one") << QList{0.400} << 1 << 0.400 << -1.0 << -1.0 << 0.400 << 0.400;
    QTest::addRow("none") << QList<double>{} << 0 << 0.0 << -1.0 << -1.0 << 0.0 << 0.0;
    // Mean 0: SD sqrt(0.0002 / 1) = 0.0141421356, CV undefined.
    QTest::addRow("mean 0") << groups["Z"] << 2 << 0.0 << 0.0141421356 << -1.0 << -0.010 << 0.010;
}

void TestFormula::stats() {
    QFETCH(QList<double>, densities);
    QFETCH(int, count);
    QFETCH(double, mean);
    QFETCH(double, sd);
    QFETCH(double, cv);
    QFETCH(double, min);
    QFETCH(double, max);
    const GroupStats s = groupStats(densities);
    QCOMPARE(s.count, count);
    QVERIFY(near(s.mean, mean));
    QCOMPARE(s.sd.has_value(), sd >= 0);
    if (s.sd)
        QVERIFY2(std::abs(*s.sd - sd) < 1e-9, qPrintable(QString::number(*s.sd)));
    QCOMPARE(s.cv.has_value(), cv >= 0);
    if (s.cv)
        QVERIFY2(std::abs(*s.cv - cv) < 1e-6, qPrintable(QString::number(*s.cv)));
    QVERIFY(near(s.min, min));
    QVERIFY(near(s.max, max));
}

void TestFormula::values_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<double>("value");
    QTest::addRow("cut-off") << "mean(NC) + 0.150" << 0.210;
    QTest::addRow("max below") << "max(NC) < 0.150" << 1.0;
    QTest::addRow("max not above itself") << "max(NC) > 0.070" << 0.0;
    QTest::addRow("max at itself") << "max(NC) >= 0.070" << 1.0;
    QTest::addRow("mean at least") << "mean(PC) >= 1.000" << 1.0;
    // S6: SD sqrt(0.02) = 0.141421356, CV 0.141421356 / 2.1 = 6.734 %.
    QTest::addRow("cv") << "cv(S6)" << 6.7343502970;
    QTest::addRow("cv rule") << "cv(S6) <= 15" << 1.0;
    QTest::addRow("sd") << "sd(PC)" << 0.1414213562;
    QTest::addRow("min is the group's") << "min(NC)" << 0.050;
    QTest::addRow("count") << "count(PC)" << 2.0;
    QTest::addRow("count of none") << "count(EMPTY)" << 0.0;
    QTest::addRow("equal") << "count(NC) == 3" << 1.0;
    QTest::addRow("not equal") << "count(NC) != 3" << 0.0;
    QTest::addRow("spaces inside") << "mean( NC )*2" << 0.120;
    QTest::addRow("times, divided") << "mean(NC) * 2 / 4" << 0.030;
    QTest::addRow("minus from the left") << "10 - 4 - 3" << 3.0;
    QTest::addRow("divided from the left") << "8 / 4 / 2" << 1.0;
    QTest::addRow("negative") << "-mean(PC) + 2" << 0.800;
    QTest::addRow("and") << "max(NC) < 0.150 and mean(PC) >= 1.5" << 0.0;
    QTest::addRow("or") << "max(NC) > 1 or mean(PC) > 1" << 1.0;
    QTest::addRow("and before or") << "1 or 0 and 0" << 1.0;
    QTest::addRow("times before plus") << "1 + 2 * 3" << 7.0;
    QTest::addRow("parentheses") << "(1 + 2) * 3" << 9.0;
}

void TestFormula::values() {
    QFETCH(QString, formula);
    QFETCH(double, value);
    const FormulaValue r = evaluateFormula(formula, groups);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY2(near(r.value, value), qPrintable(QString::number(r.value, 'g', 12)));
    QCOMPARE(r.position, -1);
}

void TestFormula::errors_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("names"); // what the message must name
    QTest::addRow("empty") << "" << -1 << "";
    QTest::addRow("blank") << "   " << -1 << "";
    QTest::addRow("breaks off") << "mean(NC) +" << 10 << "";
    QTest::addRow("unclosed") << "mean(NC" << 7 << "";
    QTest::addRow("closed twice") << "mean(NC))" << 8 << "";
    QTest::addRow("two numbers") << "1 2" << 2 << "2";
    QTest::addRow("single =") << "mean(NC) = 1" << 9 << "=";
    QTest::addRow("decimal comma") << "0,150" << 1 << "";
    QTest::addRow("other character") << "1 ? 2 : 3" << 2 << "?";
    QTest::addRow("unknown function") << "median(NC)" << 0 << "median";
    QTest::addRow("no other functions") << "1 + sin(1)" << 4 << "sin";
    QTest::addRow("unknown group") << "mean(NX)" << 5 << "NX";
    QTest::addRow("token alone") << "NC + 1" << 0 << "NC";
    QTest::addRow("token after a call") << "mean(NC) + PC" << 11 << "PC";
    QTest::addRow("number argument") << "mean(1)" << 4 << "mean";
    QTest::addRow("no argument") << "max()" << 3 << "max";
    QTest::addRow("function alone") << "mean + 1" << 0 << "mean";
    QTest::addRow("space before (") << "mean (NC)" << 4 << "mean";
    QTest::addRow("no density") << "mean(EMPTY)" << 5 << "EMPTY";
    QTest::addRow("sd of one") << "1 + sd(X1)" << 4 << "X1";
    QTest::addRow("cv of one") << "cv(X1)" << 0 << "X1";
    QTest::addRow("cv of mean 0") << "cv(Z)" << 0 << "Z";
    QTest::addRow("division by zero") << "1 / (mean(NC) - 0.060)" << -1 << "division by zero";
    QTest::addRow("compared after division by zero") << "1 / 0 > 5" << -1 << "division by zero";
    QTest::addRow("overflow") << "1e200 * 1e200 > 1" << -1 << "";
}

void TestFormula::errors() {
    QFETCH(QString, formula);
    QFETCH(int, position);
    QFETCH(QString, names);
    const FormulaValue r = evaluateFormula(formula, groups);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QVERIFY2(r.error.contains(names), qPrintable(r.error));
    QCOMPARE(r.position, position);
}

void TestFormula::check() {
    const QStringList tokens = {"NC", "PC"};
    QVERIFY(checkFormula("mean(NC) + 0.150", tokens).ok);
    QVERIFY(checkFormula("max(NC) < 0.150 and cv(PC) <= 15", tokens).ok);
    // Values are not checked: zero for any densities, yet no error.
    QVERIFY(checkFormula("mean(PC) / (mean(NC) - mean(NC))", tokens).ok);

    const FormulaValue unknown = checkFormula("mean(PX)", tokens);
    QVERIFY(!unknown.ok);
    QVERIFY(unknown.error.contains("PX"));
    QCOMPARE(unknown.position, 5);
    QCOMPARE(checkFormula("mean(S6)", tokens).position, 5);
    QCOMPARE(checkFormula("mean(NC) +", tokens).position, 10);
    QCOMPARE(checkFormula("median(NC)", tokens).position, 0);
    QVERIFY(!checkFormula("", tokens).ok);
}

QTEST_GUILESS_MAIN(TestFormula)
#include "test_formula.moc"
