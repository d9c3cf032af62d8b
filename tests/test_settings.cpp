// SPDX-License-Identifier: GPL-3.0-or-later
// The stored window position and the port choice: numbers in the operator's
// regional format, garbage falling back to the default, and where the port
// name comes from.
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/port_choice.h"
#include "link/port_list.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace windowPosition;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SettingsStore().clear();
        qunsetenv("TELKARO_PORT");
    }

    void positionTextInRegionalFormats() {
        const QLocale c = QLocale::c();
        const QLocale ru(QLocale::Russian, QLocale::Russia);
        QCOMPARE(positionText(15000, c), QStringLiteral("15000"));
        QCOMPARE(positionText(-1500, c), QStringLiteral("-1500"));
        QCOMPARE(positionText(1234.5f, ru), QStringLiteral("1234,5"));
        // No group separator (a Russian one is a non-breaking space).
        QCOMPARE(positionText(1234567, ru), QStringLiteral("1234567"));

        for (float value : {0.0f, 1000.0f, -15.0f, 1234.5f, 22222.25f, 100000.21f, 0.1f}) {
            QCOMPARE(positionFromText(positionText(value, ru), ru), value);
            QCOMPARE(positionFromText(positionText(value, c), c), value);
        }
        QCOMPARE(positionFromText(QStringLiteral("1234.5"), ru), 1234.5f); // edited by hand
        QCOMPARE(positionText(0.1f, c), QStringLiteral("0.1"));
    }

    void garbageFallsBackToTheDefault() {
        for (const char *text : {"", "abc", "12abc", "nan", "inf", "-inf", "1e30", "1,2,3"})
            QCOMPARE(positionFromText(QString::fromLatin1(text), QLocale::c()), 1000.0f);
    }

    void storedPositionsReadBack() {
        SettingsStore store;
        QCOMPARE(readPosition(store, QStringLiteral("MainLeft")), 1000.0f); // missing key
        writePosition(store, QStringLiteral("MainLeft"), 4500);
        store.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("x"));
        store.sync();
        SettingsStore again;
        QCOMPARE(again.value(QStringLiteral("Settings/MainLeft")).toString(),
                 QStringLiteral("4500"));
        QCOMPARE(readPosition(again, QStringLiteral("MainLeft")), 4500.0f);
        QCOMPARE(readPosition(again, QStringLiteral("MainTop")), 1000.0f);
    }

    void handEditedFileWithADecimalComma() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TELKARO.conf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\nMainLeft=1234,5\nMainTop=\\x41\x01\xff\n");
        file.close();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QSettings store(path, QSettings::IniFormat);
        QCOMPARE(readPosition(store, QStringLiteral("MainLeft")), 1234.5f);
        QCOMPARE(readPosition(store, QStringLiteral("MainTop")), 1000.0f);
        QLocale::setDefault(QLocale::c());
    }

    void portComesFromEnvironmentThenSettingThenPlatform() {
        SettingsStore store;
        QCOMPARE(choosePort(store).name, defaultPort(availablePorts()));
        QVERIFY(choosePort(store).byDefault);
        store.setValue(QStringLiteral("Settings/Port"), QStringLiteral("/dev/ttyUSB3"));
        QCOMPARE(choosePort(store).name, QStringLiteral("/dev/ttyUSB3"));
        qputenv("TELKARO_PORT", "/dev/pts/42");
        QCOMPARE(choosePort(store).name, QStringLiteral("/dev/pts/42"));
        qputenv("TELKARO_PORT", "");
        QCOMPARE(choosePort(store).name, QStringLiteral("/dev/ttyUSB3"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
