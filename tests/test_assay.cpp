// SPDX-License-Identifier: GPL-3.0-or-later
// A kit's answer from a plate: the kit file and what is wrong with one, the
// blank, the groups' figures, the cut-off and its grey zone, the curve's
// read-back and range, the validity rules. Expected values are worked by
// hand.
#include "assay/analysis.h"
#include "assay/kit.h"
#include "plate/plate.h"

#include <QTest>

namespace {
// A one-strip qualitative kit: A BLK, B-D NC, E-F PC, G U1, H U2.
QByteArray qualitativeKit(const QByteArray &extra = {}) {
    return R"({"format": "telkaro-assay/1", "name": "Screen",
        "layout": ["BLK - - - - - - - - - - -", "NC - - - - - - - - - - -",
                   "NC - - - - - - - - - - -", "NC - - - - - - - - - - -",
                   "PC - - - - - - - - - - -", "PC - - - - - - - - - - -",
                   "U1 - - - - - - - - - - -", "U2 - - - - - - - - - - -"],
        "blank": "subtract", "cutoff": "mean(NC) + 0.150", "greyzone": 0.10,
        "validity": ["max(NC) < 0.150", "mean(PC) >= 1.000"])" +
           extra + "}";
}

// A plate of one strip from its eight fields, rows A to H.
Plate strip(const QList<QByteArray> &fields) {
    return Plate(fields.join() + "OK", QDateTime::currentDateTimeUtc());
}

Kit kitOf(const QByteArray &json) {
    const KitRead read = readKit(json, QStringLiteral("kit.assay.json"));
    if (!read.kit)
        qWarning() << read.error;
    return read.kit.value_or(Kit());
}
} // namespace

class TestAssay : public QObject {
    Q_OBJECT
private slots:
    // Blank 0,050 (0,048 and 0,052 would be two wells; here one), NC 0,100
    // 0,110 0,120 raw, so 0,050 0,060 0,070 corrected: mean 0,060, SD 0,010,
    // CV 16,67 %; cut-off 0,060 + 0,150 = 0,210, grey zone 0,189 … 0,231.
    void aQualitativeRun() {
        const Kit kit = kitOf(qualitativeKit(R"(, "cv_limit": 15)"));
        QCOMPARE(kit.stripsUsed(), 1);
        const Analysis a =
            analyse(kit, strip({"0050", "0100", "0110", "0120", "1550", "1650", "0300", "0239"}));
        QCOMPARE(*a.blank, 0.050);
        const GroupResult *nc = a.group("NC");
        QVERIFY(nc);
        QCOMPARE(nc->wells, (QStringList{"B1", "C1", "D1"}));
        QCOMPARE(nc->stats.mean, 0.060);
        QVERIFY(qAbs(*nc->stats.sd - 0.010) < 1e-12);
        QVERIFY(qAbs(*nc->stats.cv - 16.6666666667) < 1e-6);
        QCOMPARE(nc->flags, QStringList{"cv"}); // above the 15 % limit
        QVERIFY(qAbs(*a.cutoff - 0.210) < 1e-12);
        QCOMPARE(a.samples.size(), 2);
        // U1: 0,250 corrected, S/CO 1,190…: positive. U2: 0,189, on the lower edge.
        QCOMPARE(a.samples[0].verdict, Verdict::Positive);
        QVERIFY(qAbs(*a.samples[0].sCo - 0.25 / 0.21) < 1e-12);
        QCOMPARE(a.samples[1].verdict, Verdict::Doubtful);
        QVERIFY(a.valid);
        QCOMPARE(a.rules.size(), 2);
        QCOMPARE(*a.rules[0].value, 1.0);
    }

    // The grey zone's edges belong to it, on both sides, also where the
    // products are not exact in binary (0,200 x 0,9).
    void theGreyZoneEdges_data() {
        QTest::addColumn<double>("mean");
        QTest::addColumn<int>("above");
        QTest::addColumn<int>("below");
        const int pos = int(Verdict::Positive), neg = int(Verdict::Negative);
        const int grey = int(Verdict::Doubtful);
        QTest::newRow("0,179") << 0.179 << neg << pos;
        QTest::newRow("0,180 lower edge") << 0.180 << grey << grey;
        QTest::newRow("0,200 cut-off") << 0.200 << grey << grey;
        QTest::newRow("0,220 upper edge") << 0.220 << grey << grey;
        QTest::newRow("0,221") << 0.221 << pos << neg;
    }
    void theGreyZoneEdges() {
        QFETCH(double, mean);
        QFETCH(int, above);
        QFETCH(int, below);
        Kit::Cutoff rule{QStringLiteral("0.2"), 0.10, true};
        QCOMPARE(int(verdictOf(mean, 0.200, rule)), above);
        rule.positiveAbove = false;
        QCOMPARE(int(verdictOf(mean, 0.200, rule)), below);
    }

    // A control out of its limit: the rule fails with its value, the run is
    // invalid, and a well that is no number is left out and named.
    void aFailedRuleAndAWellLeftOut() {
        const Kit kit = kitOf(qualitativeKit());
        const Analysis a =
            analyse(kit, strip({"0050", "0100", "0300", "0A12", "0900", "1000", "0060", "0070"}));
        const GroupResult *nc = a.group("NC");
        QCOMPARE(nc->missing, QStringList{"D1"});
        QCOMPARE(nc->measuredWells, (QStringList{"B1", "C1"}));
        QCOMPARE(nc->flags, QStringList{"missing"});
        QVERIFY(!a.valid);
        QVERIFY(!a.rules[0].held); // max(NC) = 0,250
        QVERIFY(qAbs(*a.rules[0].value - 0.0) < 1e-12);
        QVERIFY(!a.rules[1].held); // mean(PC) = 0,900
        QVERIFY(a.problems.isEmpty());
    }

    // A point-to-point curve on standards 0, 10, 20 read back by hand: a
    // sample at 0,400 (between 0,300 and 0,500) is 15 x 2 (its dilution) = 30;
    // one above the top standard's density is above the range, without a
    // number.
    void aCurveReadBack() {
        const Kit kit = kitOf(R"({"format": "telkaro-assay/1", "name": "Q", "units": "нг/мл",
            "layout": ["S1 - - - - - - - - - - -", "S1 - - - - - - - - - - -",
                       "S2 - - - - - - - - - - -", "S2 - - - - - - - - - - -",
                       "S3 - - - - - - - - - - -", "S3 - - - - - - - - - - -",
                       "U1 - - - - - - - - - - -", "U2 - - - - - - - - - - -"],
            "standards": {"S1": 0, "S2": 10, "S3": 20}, "dilution": {"U1": 2},
            "curve": {"model": "point-to-point"}})");
        const Analysis a =
            analyse(kit, strip({"0090", "0110", "0290", "0310", "0490", "0510", "0400", "0600"}));
        QVERIFY2(a.curve, qPrintable(a.problems.join(';')));
        QVERIFY(qAbs(*a.samples[0].concentration - 30.0) < 1e-9);
        QCOMPARE(a.samples[1].range, Range::Above);
        QVERIFY(!a.samples[1].concentration);
        QVERIFY(qAbs(*a.group("S2")->backCalculated - 10.0) < 1e-9);
        QVERIFY(qAbs(*a.group("S2")->recovery - 100.0) < 1e-9);
        QVERIFY(a.valid);
    }

    // Standards that cannot be fitted: a message, no curve, no number.
    void standardsThatCannotBeFitted() {
        const Kit kit = kitOf(R"({"format": "telkaro-assay/1", "name": "Q",
            "layout": ["S1 - - - - - - - - - - -", "S2 - - - - - - - - - - -",
                       "S3 - - - - - - - - - - -", "S4 - - - - - - - - - - -",
                       "S5 - - - - - - - - - - -", "U1 - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -"],
            "standards": {"S1": 0, "S2": 1, "S3": 2, "S4": 4, "S5": 8},
            "curve": {"model": "4pl"}})");
        const Analysis a =
            analyse(kit, strip({"0500", "0500", "0500", "0500", "0500", "0500", "0000", "0000"}));
        QVERIFY(!a.curve);
        QVERIFY(!a.valid);
        QCOMPARE(a.problems.size(), 1);
        QVERIFY(!a.samples[0].concentration);
    }

    // What is wrong with a kit file is named: the field and what.
    void kitFilesThatAreWrong_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("says");
        const QByteArray rows7 = R"({"format": "telkaro-assay/1", "name": "X",
            "layout": ["- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -"], "cutoff": "1"})";
        QTest::newRow("empty") << QByteArray() << "empty";
        QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "not JSON";
        QTest::newRow("another format")
            << QByteArray(R"({"format": "telkaro-assay/2"})") << "\"format\"";
        QTest::newRow("7 rows") << rows7 << "has 7 rows";
        QByteArray thirteen = qualitativeKit();
        thirteen.replace("\"U2 - - - - - - - - - - -\"", "\"U2 - - - - - - - - - - - -\"");
        QTest::newRow("13 tokens") << thirteen << "row H has 13 wells";
        QByteArray unknown = qualitativeKit();
        unknown.replace("\"U2 -", "\"XY -");
        QTest::newRow("unknown token") << unknown << "unknown token \"XY\" in well H1";
        QByteArray syntax = qualitativeKit();
        syntax.replace("mean(NC) + 0.150", "mean(NC) +");
        QTest::newRow("formula breaks off") << syntax << "\"cutoff\"";
        QByteArray function = qualitativeKit();
        function.replace("max(NC) < 0.150", "median(NC) < 0.150");
        QTest::newRow("unknown function") << function << "validity[1]";
        QByteArray group = qualitativeKit();
        group.replace("mean(PC) >= 1.000", "mean(PX) >= 1.000");
        QTest::newRow("unknown group") << group << "validity[2]";
        QTest::newRow("same concentration twice")
            << QByteArray(R"({"format": "telkaro-assay/1", "name": "Q",
            "layout": ["S1 - - - - - - - - - - -", "S2 - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -"],
            "standards": {"S1": 5, "S2": 5}, "curve": {"model": "linear"}})")
            << "the same concentration";
        QTest::newRow("a standard without a concentration")
            << QByteArray(R"({"format": "telkaro-assay/1", "name": "Q",
            "layout": ["S1 - - - - - - - - - - -", "S2 - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -"],
            "standards": {"S1": 5}, "curve": {"model": "linear"}})")
            << "S2 of the layout has no concentration";
        QTest::newRow("fewer standards than parameters")
            << QByteArray(R"({"format": "telkaro-assay/1", "name": "Q",
            "layout": ["S1 - - - - - - - - - - -", "S2 - - - - - - - - - - -",
                       "S3 - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -",
                       "- - - - - - - - - - - -", "- - - - - - - - - - - -"],
            "standards": {"S1": 0, "S2": 5, "S3": 10}, "curve": {"model": "4pl"}})")
            << "needs at least 4 standards";
    }
    void kitFilesThatAreWrong() {
        QFETCH(QByteArray, json);
        QFETCH(QString, says);
        const KitRead read = readKit(json, QStringLiteral("kit.assay.json"));
        QVERIFY(!read.kit);
        QVERIFY2(read.error.startsWith("kit.assay.json: ") && read.error.contains(says),
                 qPrintable(read.error));
    }

    // What the editor writes is what is read: the kit survives a round trip.
    void aKitWrittenAndReadAgain() {
        const Kit kit = kitOf(qualitativeKit(R"(, "samples": {"U1": "Иванов"}, "cv_limit": 20)"));
        const Kit again = kitOf(kitJson(kit));
        QCOMPARE(again.name, kit.name);
        QCOMPARE(again.layout, kit.layout);
        QCOMPARE(again.sampleNames.value("U1"), QStringLiteral("Иванов"));
        QCOMPARE(again.cutoff->formula, kit.cutoff->formula);
        QCOMPARE(again.cutoff->greyZone, 0.10);
        QCOMPARE(again.validity, kit.validity);
        QCOMPARE(*again.cvLimit, 20.0);
        QCOMPARE(again.tokens(), (QStringList{"BLK", "NC", "PC", "U1", "U2"}));
    }
};

QTEST_GUILESS_MAIN(TestAssay)
#include "test_assay.moc"
