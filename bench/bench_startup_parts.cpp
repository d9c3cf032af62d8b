// SPDX-License-Identifier: GPL-3.0-or-later
// Parts of TELKARO's start-up, in process (QBENCHMARK, offscreen): making the
// main window, and the window icon it is given (the sizes a title bar and a
// task bar use, 16 to 48, each decoded from its PNG).
#include "app/frm_main.h"

#include <QApplication>
#include <QIcon>
#include <QTest>

#include <initializer_list>

namespace {
QIcon iconOfSizes(std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes)
        icon.addFile(QStringLiteral(":/images/telkaro-%1.png").arg(size), QSize(size, size));
    return icon;
}
} // namespace

class BenchStartupParts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Fonts and the style are set up on first use; that belongs to no part.
        frmMain warm;
    }

    void mainWindowMade() {
        QBENCHMARK {
            frmMain window;
        }
    }

    void windowIcon() {
        QIcon icon;
        QBENCHMARK {
            icon = iconOfSizes({16, 32, 48});
            icon.pixmap(48); // decoded, as showing the window does
        }
        QVERIFY(!icon.isNull());
    }
};

QTEST_MAIN(BenchStartupParts)
#include "bench_startup_parts.moc"
