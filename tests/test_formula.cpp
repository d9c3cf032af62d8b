// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

class Placeholder : public QObject {
    Q_OBJECT
};

QTEST_GUILESS_MAIN(Placeholder)
#include "test_formula.moc"
