// SPDX-License-Identifier: GPL-3.0-or-later
// Text placement in the panes: a point sets the drawing position, a print
// ends its line at the left edge one line lower, and what a pane shows is
// read out in reading order.
#include "app/pane_model.h"

#include <QTest>

class TestPane : public QObject {
    Q_OBJECT
private slots:
    void placementFollowsPointAndLineEnds() {
        PaneModel pane(1, 0, 3, 8); // a scale that does not start at 0
        pane.setMetrics(0.5, [](const QString &s) { return 0.25 * s.size(); });

        pane.PSet(2, 3);
        pane.Print(QStringLiteral("A"));
        QCOMPARE(pane.currentX(), 1.0); // the pane's left edge, not 0
        QCOMPARE(pane.currentY(), 3.5);

        pane.printJoined(QStringLiteral("ab"));
        pane.printJoined(QStringLiteral("c"));
        pane.printLine(); // ends the joined line
        pane.printLine(); // an empty line only moves down
        pane.Print(QStringLiteral("next"));

        QCOMPARE(pane.textAt(2, 3), QStringLiteral("A"));
        QCOMPARE(pane.textAt(1, 3.5), QStringLiteral("ab"));
        QCOMPARE(pane.textAt(1.5, 3.5), QStringLiteral("c"));
        QCOMPARE(pane.textAt(1, 4.5), QStringLiteral("next"));
        QCOMPARE(pane.currentY(), 5.0);

        pane.Cls();
        QVERIFY(pane.items().isEmpty());
        QCOMPARE(pane.currentX(), 1.0);
        QCOMPARE(pane.currentY(), 0.0);
    }

    void readingOrderListsWhatIsShown() {
        PaneModel pane(0, 0, 12, 8);
        int changes = 0;
        QObject::connect(&pane, &PaneModel::changed, [&] { ++changes; });
        // Drawn column by column, read row by row.
        for (int s : {1, 0}) {
            for (int r : {1, 0}) {
                pane.PSet(s, r);
                pane.Print(QStringLiteral("%1%2").arg(QChar(u'A' + r)).arg(s + 1));
            }
        }
        pane.PSet(12, 0); // beyond the right edge: not shown
        pane.Print(QStringLiteral("hidden"));
        pane.PSet(0, 5);
        pane.printJoined(QStringLiteral("  0,123\t")); // blanks and the field's TAB
        QCOMPARE(pane.readingOrder(),
                 (QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"),
                              QStringLiteral("B2"), QStringLiteral("0,123")}));
        QVERIFY(changes >= 12);
        // Drawn as one: told once, at the end, with everything there.
        changes = 0;
        QStringList seen;
        QObject::connect(&pane, &PaneModel::changed, [&] { seen = pane.readingOrder(); });
        pane.batch([&] {
            pane.Cls();
            pane.PSet(1, 1);
            pane.Print(QStringLiteral("B2"));
            pane.PSet(0, 0);
            pane.Print(QStringLiteral("A1"));
        });
        QCOMPARE(changes, 1);
        QCOMPARE(seen, (QStringList{QStringLiteral("A1"), QStringLiteral("B2")}));
        QCOMPARE(shownText(QStringLiteral("1,234\t")), QStringLiteral("1,234"));
    }
};

QTEST_GUILESS_MAIN(TestPane)
#include "test_pane.moc"
