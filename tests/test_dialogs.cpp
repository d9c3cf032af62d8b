// SPDX-License-Identifier: GPL-3.0-or-later
// The strip count dialog, Help and Exit.
#include "app/frm_main.h"
#include "app/help.h"
#include "app/menu_flags.h"
#include "app/program.h"
#include "app/strip_dialog.h"
#include "app/twips.h"
#include "app/window_position.h"
#include "core/qt_translations.h"
#include "core/settings_store.h"
#include "link/session.h"
#include "tests/support/virtual_instrument.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <memory>

namespace {
struct Box {
    QString text;
    QString title;
    bool info;
};

std::unique_ptr<frmMain> start(const QByteArray &port = "/dev/telkaro-no-such-port") {
    qputenv("TELKARO_PORT", port);
    return Main();
}

void choose(QComboBox *combo, const QString &entry) {
    combo->setCurrentIndex(combo->findText(entry));
}
} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void initTestCase() { QVERIFY(installQtTranslations(*QCoreApplication::instance())); }
    void init() { SettingsStore().clear(); }

    void theStandardDialogsSpeakRussian() {
        auto w = start();
        struct Seen {
            QString title, accept, cancel;
        };
        QList<Seen> seen;
        // Looks at the file dialog the command opened, then cancels it.
        auto lookAndCancel = [&] {
            QTimer::singleShot(0, this, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                auto *box = dialog->findChild<QDialogButtonBox *>();
                QPushButton *cancel = box ? box->button(QDialogButtonBox::Cancel) : nullptr;
                QPushButton *accept =
                    box ? box->button(box->button(QDialogButtonBox::Save) ? QDialogButtonBox::Save
                                                                          : QDialogButtonBox::Open)
                        : nullptr;
                seen.append({dialog->windowTitle(), accept ? accept->text() : QString(),
                             cancel ? cancel->text() : QString()});
                if (cancel)
                    cancel->click();
                else
                    dialog->reject();
            });
        };
        lookAndCancel();
        w->program().менюФайлПросмотр_Click();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QStringLiteral("Open")); // the View dialog's own title
        QCOMPARE(seen[0].accept.remove(QLatin1Char('&')), QStringLiteral("Открыть"));
        QCOMPARE(seen[0].cancel, QStringLiteral("Отмена"));

        w->program().presenter.menus().setEnabled(Menu::менюФайлЗапись, true);
        lookAndCancel();
        w->program().менюФайлЗапись_Click();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].title, QStringLiteral("Запись файла"));
        QCOMPARE(seen[1].accept.remove(QLatin1Char('&')), QStringLiteral("Сохранить"));
        QCOMPARE(seen[1].cancel, QStringLiteral("Отмена"));
        QVERIFY(w->program().commonDialog1.FileName.isEmpty()); // cancelled: nothing chosen
    }

    void theStripCountDialog() {
        auto w = start();
        QVERIFY(!w->dialog()); // created on first use
        w->менюНастройка_Click();
        StripCountDialog *dialog = w->dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Число стрипов"));
        QCOMPARE(dialog->size(), QSize(twipsToPixels(2340), twipsToPixels(690)));
        QCOMPARE(dialog->комбоСтрип()->geometry(), twipsRect(180, 150, 615, 315));
        QCOMPARE(dialog->кНастройкаОК()->geometry(), twipsRect(1020, 150, 1125, 345));
        QCOMPARE(dialog->focusWidget(), dialog->кНастройкаОК());
        QStringList entries;
        for (int i = 0; i < dialog->комбоСтрип()->count(); ++i)
            entries << dialog->комбоСтрип()->itemText(i);
        QCOMPARE(entries, (QStringList{"  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8",
                                       "  9", "10", "11", "12"}));
        QCOMPARE(dialog->комбоСтрип()->currentText(), QStringLiteral("12"));

        // Choosing the menu item again keeps the one dialog.
        w->менюНастройка_Click();
        QCOMPARE(w->findChildren<StripCountDialog *>("frmНастройка").size(), 1);

        choose(dialog->комбоСтрип(), "  5");
        QCOMPARE(w->StripCount(), 12); // nothing changes before OK
        QTest::mouseClick(dialog->кНастройкаОК(), Qt::LeftButton);
        QCOMPARE(w->StripCount(), 5);
        QVERIFY(!dialog->isVisible());

        // Shown again, it is the same dialog as it was left: no second load.
        w->менюНастройка_Click();
        QCOMPARE(w->dialog(), dialog);
        QCOMPARE(dialog->комбоСтрип()->currentText(), QStringLiteral("  5"));

        // Closed from the title bar: gone, the count unchanged; the next
        // opening loads a new one.
        choose(dialog->комбоСтрип(), "  2");
        dialog->close();
        QTRY_VERIFY(!w->dialog());
        QCOMPARE(w->StripCount(), 5);
        w->менюНастройка_Click();
        QCOMPARE(w->dialog()->комбоСтрип()->currentText(), QStringLiteral("  5"));
    }

    void theChosenCountReachesTheInstrument() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({"--bare-ok"}), qPrintable(instrument.lastError()));
        auto w = start(instrument.portName().toLocal8Bit());
        QVERIFY(instrument.waitFor(
            [&] { return w->program().link.session().state() == SessionState::StateLinked; },
            10000));
        w->менюНастройка_Click();
        choose(w->dialog()->комбоСтрип(), "  3");
        w->dialog()->кНастройкаОК()->click();
        w->action(Menu::менюИзмерение)->trigger();
        QVERIFY(instrument.waitForReceived("J 3\r\n", 5000));
    }

    void help() {
        auto w = start();
        QList<Box> boxes;
        auto collect = [&](QWidget *, const QString &text, const QString &title, bool info) {
            boxes.append({text, title, info});
        };

        Help none(w.get(), QString());
        none.setMessageBox(collect);
        bool viewerCalled = false;
        none.setViewer([&](QWidget *, const QString &, QString *) { return viewerCalled = true; });
        none.менюПомощь_Click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Не найден файл помощи TELKARO.HLP"));
        QCOMPARE(boxes[0].title, QStringLiteral("ТЕЛКАРО"));
        QVERIFY(boxes[0].info);
        QVERIFY(!viewerCalled);

        Help failing(w.get(), QStringLiteral("guide.md"));
        failing.setMessageBox(collect);
        failing.setViewer([](QWidget *, const QString &, QString *error) {
            *error = QStringLiteral("viewer is not installed");
            return false;
        });
        failing.менюПомощь_Click();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].text, QStringLiteral("viewer is not installed"));
        QCOMPARE(boxes[1].title, QStringLiteral("TELKARO"));
        QVERIFY(!boxes[1].info);
        failing.setViewer(nullptr); // no viewer at all
        failing.менюПомощь_Click();
        QCOMPARE(boxes.size(), 3);

        // The shipped guide, in the program's own window owned by the main one.
        Help guide(w.get(), QStringLiteral(TELKARO_SOURCE_DIR "/docs/TELKARO.md"));
        guide.setMessageBox(collect);
        guide.менюПомощь_Click();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(guide.window() && guide.window()->isVisible());
        QCOMPARE(guide.window()->parentWidget(), w.get());
        QCOMPARE(w->findChildren<HelpWindow *>().size(), 1);
        const QString text = guide.window()->browser()->toPlainText();
        for (const char *topic : {"dialout", "Число стрипов", "Ошибка", "Запись файла", ".dat"})
            QVERIFY2(text.contains(QString::fromUtf8(topic)), topic);

        // A missing file is the viewer's to report, not a message box.
        Help missing(w.get(), QStringLiteral("/nonexistent/TELKARO.md"));
        missing.setMessageBox(collect);
        missing.менюПомощь_Click();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(missing.window()->browser()->toPlainText().contains("/nonexistent/TELKARO.md"));
    }

    void exitStoresThePositionAndEndsTheProgram() {
        auto w = start();
        w->move(150, 90);
        // Other windows open do not keep the program running.
        w->менюНастройка_Click();
        w->help().менюПомощь_Click();
        QTimer::singleShot(0, w.get(), [&] { w->action(Menu::менюФайлВыход)->trigger(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        SettingsStore store;
        QCOMPARE(w->pos().x(), 150);
        QCOMPARE(store.value("Settings/MainLeft").toString(), QStringLiteral("2250"));
    }

    void exitWhileMinimisedOrMeasuring() {
        auto w = start();
        w->setWindowState(Qt::WindowMinimized);
        QTimer::singleShot(0, w.get(), [&] { w->менюФайлВыход_Click(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!SettingsStore().contains("Settings/MainLeft"));

        // While a measurement runs the File menu, Exit with it, is off; the
        // window's close command still ends the program.
        auto measuring = start();
        measuring->program().presenter.menus().setEnabled(Menu::менюФайл, false);
        QVERIFY(!measuring->program().presenter.menus().isAvailable(Menu::менюФайлВыход));
        QTimer::singleShot(0, measuring.get(), [&] { measuring->close(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(SettingsStore().contains("Settings/MainLeft"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
