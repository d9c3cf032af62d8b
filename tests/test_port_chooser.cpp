// SPDX-License-Identifier: GPL-3.0-or-later
// The port chooser: the found ports and the field, refresh, the keyboard, and
// what OK and Cancel leave in the Port setting.
#include "app/port_chooser.h"
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/port_choice.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
const QString byIdPath = QStringLiteral("/dev/serial/by-id/usb-FTDI-if00-port0");

QList<PortEntry> twoPorts() {
    return {{"ttyS0", "", "", ""}, {"ttyUSB0", "FT232R USB UART", "FTDI", "A10KX3"}};
}

QList<PortEntry> noPorts() {
    return {};
}

QStringList texts(const QListWidget *list) {
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result << list->item(row)->text();
    return result;
}

QStringList selectedNames(const QListWidget *list) {
    QStringList result;
    for (const QListWidgetItem *item : list->selectedItems())
        result << item->data(Qt::UserRole).toString();
    return result;
}

QPushButton *button(const PortChooser *chooser, QDialogButtonBox::StandardButton which) {
    return chooser->buttons()->button(which);
}

// Replaces the field's text as the operator would: select all, erase, type.
void retype(QLineEdit *field, const QString &text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Acts on the chooser once choosePortInDialog has shown it modally; a chooser
// the action leaves open is a failure, and is closed so that the test goes on.
void whenShown(std::function<void(PortChooser *)> act) {
    QTimer::singleShot(0, qApp, [act] {
        auto *chooser = qobject_cast<PortChooser *>(QApplication::activeModalWidget());
        QVERIFY2(chooser, "the port chooser is not the active modal window");
        act(chooser);
        if (chooser->isVisible()) {
            chooser->reject();
            QFAIL("the port chooser stayed open");
        }
    });
}

QString storedPort() {
    SettingsStore fresh;
    return storedPort(fresh);
}

void show(PortChooser &chooser) {
    chooser.show();
    QVERIFY(QTest::qWaitForWindowActive(&chooser));
}
} // namespace

class TestPortChooser : public QObject {
    Q_OBJECT
private slots:
    void init() { SettingsStore().clear(); }

    void showsTheFoundPortsWithTheCurrentOnePreselected() {
        PortChooser chooser(QStringLiteral("ttyUSB0"), twoPorts);
        QCOMPARE(chooser.objectName(), QStringLiteral("ВыборПорта"));
        QCOMPARE(chooser.windowTitle(), QStringLiteral("Порт прибора"));
        QListWidget *list = chooser.list();
        QCOMPARE(texts(list), (QStringList{"ttyS0", "ttyUSB0 — FT232R USB UART"}));
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QStringLiteral("ttyS0"));
        QCOMPARE(list->item(1)->data(Qt::UserRole).toString(), QStringLiteral("ttyUSB0"));
        QVERIFY(list->item(0)->toolTip().isEmpty());
        const QString tip = list->item(1)->toolTip();
        QVERIFY2(tip.contains("FTDI") && tip.contains("A10KX3"), qPrintable(tip));
        QCOMPARE(chooser.field()->text(), QStringLiteral("ttyUSB0"));
        QCOMPARE(selectedNames(list), QStringList{"ttyUSB0"});
        QVERIFY(chooser.findChild<QLabel *>(QStringLiteral("нетПортов"))->isHidden());

        // The device path of a listed port selects it and stays as it is.
#ifdef Q_OS_WIN
        const QString devicePath = QStringLiteral("\\\\.\\ttyS0");
#else
        const QString devicePath = QStringLiteral("/dev/ttyS0");
#endif
        PortChooser path(devicePath, twoPorts);
        QCOMPARE(path.field()->text(), devicePath);
        QCOMPARE(selectedNames(path.list()), QStringList{"ttyS0"});
        // A port Qt does not list, such as a pseudo-terminal: typed, nothing selected.
        PortChooser pseudo(QStringLiteral("/dev/pts/3"), twoPorts);
        QCOMPARE(pseudo.field()->text(), QStringLiteral("/dev/pts/3"));
        QCOMPARE(selectedNames(pseudo.list()), QStringList());
        QVERIFY(button(&pseudo, QDialogButtonBox::Ok)->isEnabled());
    }

    void theListAndTheFieldFollowEachOther() {
        PortChooser chooser(QString(), twoPorts);
        show(chooser);
        QListWidget *list = chooser.list();
        QLineEdit *field = chooser.field();
        QCOMPARE(selectedNames(list), QStringList());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(field->text(), QStringLiteral("ttyS0"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(field->text(), QStringLiteral("ttyUSB0"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(field->text(), QStringLiteral("ttyS0"));

        retype(field, QStringLiteral("ttyUSB0"));
        QCOMPARE(selectedNames(list), QStringList{"ttyUSB0"});
        QTest::keyClicks(field, QStringLiteral("x"));
        QCOMPARE(selectedNames(list), QStringList());
        QCOMPARE(field->text(), QStringLiteral("ttyUSB0x"));
        // Blanks around a name are not part of it, and the list leaves them be.
        retype(field, QStringLiteral("  ttyS0 "));
        QCOMPARE(selectedNames(list), QStringList{"ttyS0"});
        QCOMPARE(field->text(), QStringLiteral("  ttyS0 "));
        QCOMPARE(chooser.chosenPort(), QStringLiteral("ttyS0"));
    }

    void refreshAsksAgainAndKeepsTheTypedText() {
        int calls = 0;
        QList<PortEntry> found = twoPorts();
        PortChooser chooser(QStringLiteral("ttyS0"), [&] { return ++calls, found; });
        show(chooser);
        QCOMPARE(calls, 1);
        retype(chooser.field(), QStringLiteral("ttyACM0"));
        QCOMPARE(selectedNames(chooser.list()), QStringList());

        found = {{"ttyACM0", "Photometer", "", "77"}};
        QTest::mouseClick(chooser.refreshButton(), Qt::LeftButton);
        QCOMPARE(calls, 2);
        QCOMPARE(texts(chooser.list()), QStringList{"ttyACM0 — Photometer"});
        QCOMPARE(chooser.field()->text(), QStringLiteral("ttyACM0"));
        QCOMPARE(selectedNames(chooser.list()), QStringList{"ttyACM0"});

        // Every port gone: the list is empty and says so; the field keeps its text.
        found.clear();
        chooser.refresh();
        QCOMPARE(calls, 3);
        QCOMPARE(chooser.list()->count(), 0);
        auto *none = chooser.findChild<QLabel *>(QStringLiteral("нетПортов"));
        QVERIFY(none && none->isVisible());
        QCOMPARE(none->text(),
                 QStringLiteral("Порты не найдены. Введите имя порта или путь ниже."));
        QCOMPARE(chooser.field()->text(), QStringLiteral("ttyACM0"));
        QVERIFY(button(&chooser, QDialogButtonBox::Ok)->isEnabled());
    }

    void okWantsAPortName() {
        PortChooser chooser(QString(), noPorts);
        show(chooser);
        QPushButton *ok = button(&chooser, QDialogButtonBox::Ok);
        QVERIFY(ok->isDefault());
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(chooser.field(), QStringLiteral("   "));
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(chooser.field(), Qt::Key_Return);
        QVERIFY(chooser.isVisible());
        QTest::keyClicks(chooser.field(), QStringLiteral("/dev/pts/3"));
        QVERIFY(ok->isEnabled());
        retype(chooser.field(), QStringLiteral(" "));
        QVERIFY(!ok->isEnabled());
    }

    void okStoresTheChoice() {
        SettingsStore store;
        whenShown([](PortChooser *chooser) {
            retype(chooser->field(), byIdPath);
            QTest::mouseClick(button(chooser, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QCOMPARE(choosePortInDialog(store, QStringLiteral("ttyS0"), twoPorts), byIdPath);
        QCOMPARE(storedPort(), byIdPath);

        // With the keyboard: the port above the current one, then Enter.
        whenShown([](PortChooser *chooser) {
            QTest::keyClick(chooser->list(), Qt::Key_Up);
            QTest::keyClick(chooser->list(), Qt::Key_Return);
        });
        QCOMPARE(choosePortInDialog(store, QStringLiteral("ttyUSB0"), twoPorts),
                 QStringLiteral("ttyS0"));
        QCOMPARE(storedPort(), QStringLiteral("ttyS0"));

        whenShown([](PortChooser *chooser) {
            QWidget *viewport = chooser->list()->viewport();
            const QPoint second =
                chooser->list()->visualItemRect(chooser->list()->item(1)).center();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, second);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, second);
        });
        QCOMPARE(choosePortInDialog(store, QStringLiteral("ttyS0"), twoPorts),
                 QStringLiteral("ttyUSB0"));
        QCOMPARE(storedPort(), QStringLiteral("ttyUSB0"));

        // No ports found: a typed path and Enter in the field.
        whenShown([](PortChooser *chooser) {
            QTest::keyClicks(chooser->field(), QStringLiteral("/dev/pts/3"));
            QTest::keyClick(chooser->field(), Qt::Key_Return);
        });
        QCOMPARE(choosePortInDialog(store, QString(), noPorts), QStringLiteral("/dev/pts/3"));
        QCOMPARE(storedPort(), QStringLiteral("/dev/pts/3"));
    }

    void cancelStoresNothing() {
        SettingsStore store;
        const std::function<void(PortChooser *)> ways[] = {
            [](PortChooser *c) { button(c, QDialogButtonBox::Cancel)->click(); },
            [](PortChooser *c) { QTest::keyClick(c->field(), Qt::Key_Escape); },
            [](PortChooser *c) { c->close(); },
        };
        for (const QString &before : {QString(), QStringLiteral("ttyUSB0")}) {
            storePort(store, before);
            for (const auto &cancel : ways) {
                whenShown([cancel](PortChooser *chooser) {
                    retype(chooser->field(), byIdPath);
                    cancel(chooser);
                });
                QCOMPARE(choosePortInDialog(store, before, twoPorts), QString());
                QCOMPARE(storedPort(), before);
            }
        }
    }

    void keyboardAndScreenReaders() {
        PortChooser chooser(QStringLiteral("ttyS0"), twoPorts);
        show(chooser);
        const QList<QWidget *> controls{chooser.list(), chooser.field(), chooser.refreshButton(),
                                        button(&chooser, QDialogButtonBox::Ok),
                                        button(&chooser, QDialogButtonBox::Cancel)};
        for (QWidget *control : controls)
            QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        QVERIFY(!chooser.list()->accessibleDescription().isEmpty());
        QVERIFY(!chooser.field()->accessibleDescription().isEmpty());
        QStringList buddies;
        for (const QLabel *label : chooser.findChildren<QLabel *>()) {
            if (label->buddy() == chooser.list() || label->buddy() == chooser.field())
                buddies << label->text();
        }
        QCOMPARE(buddies, (QStringList{"&Найденные порты:", "&Имя порта или путь:"}));

        // Tab goes list, field, refresh, OK, Cancel and round again.
        QCOMPARE(QApplication::focusWidget(), chooser.list());
        const QList<QWidget *> order = controls.mid(1) << controls.first();
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }
};

QTEST_MAIN(TestPortChooser)
#include "test_port_chooser.moc"
