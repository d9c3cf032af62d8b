// SPDX-License-Identifier: GPL-3.0-or-later
// The kit editor: wells selected with the mouse and the keyboard, roles
// given and filled in order, the tables following the layout, the formulas
// checked as typed, saving and closing. Expected layouts are written out by
// hand; the messages are the library's English (no translation installed).
#include "assaywin/kit_editor.h"
#include "assaywin/kit_editor_formulas.h"
#include "assaywin/kit_editor_roles.h"
#include "assaywin/kit_editor_tables.h"
#include "assaywin/kit_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace {
// A blank in A1, NC in B1 and C1, PC in D1, samples U1…U4 in E1…H1; cut-off.
Kit screenKit() {
    Kit kit;
    kit.name = QStringLiteral("Screen");
    kit.controls = {QStringLiteral("NC"), QStringLiteral("PC")};
    for (auto &row : kit.layout)
        row.fill(QStringLiteral("-"));
    const QStringList strip1{"BLK", "NC", "NC", "PC", "U1", "U2", "U3", "U4"};
    for (int r = 0; r < plateRows; ++r)
        kit.layout[r][0] = strip1[r];
    kit.cutoff = Kit::Cutoff{QStringLiteral("mean(NC) + 0.150"), 0.1, true};
    return kit;
}

QStringList names(const QList<Well> &wells) {
    QStringList names;
    for (const Well &well : wells)
        names.append(well.name());
    return names;
}

// A strip's tokens, rows A to H, apart by blanks.
QString stripTokens(const KitGrid *grid, int strip) {
    QStringList tokens;
    for (int r = 0; r < plateRows; ++r)
        tokens.append(grid->token(r, strip));
    return tokens.join(QLatin1Char(' '));
}

QPoint centre(const KitGrid *grid, int row, int strip) {
    return grid->visualRect(grid->model()->index(row, strip)).center();
}

void clickHeading(QHeaderView *header, int section, Qt::KeyboardModifiers keys = {}) {
    const int middle = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    const QPoint at = header->orientation() == Qt::Horizontal ? QPoint(middle, header->height() / 2)
                                                              : QPoint(header->width() / 2, middle);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, keys, at);
}

void type(QLineEdit *edit, const QString &text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The editor on show, with the boxes answered by the test.
struct Rig {
    explicit Rig(const Kit &kit)
        : editor(kit, [this](const Kit &saved) {
            written.append(saved);
            return refusal;
        }) {
        editor.setWarning([this](const QString &why) { warnings.append(why); });
        editor.setSaveQuestion([this] {
            ++asked;
            return answer;
        });
        editor.show();
    }
    KitEditor editor;
    QList<Kit> written;
    QString refusal;
    QStringList warnings;
    int asked = 0;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
};
} // namespace

class TestKitEditor : public QObject {
    Q_OBJECT
private slots:
    // The pure fill: numbers, replicates, orders and the limits.
    void theFill_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("replicates");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("tokens"); // empty: refused
        const int s = int(WellRole::Standard), u = int(WellRole::Sample);
        QTest::newRow("singles") << u << 1 << 1 << 3 << "U1 U2 U3";
        QTest::newRow("a short last group") << u << 5 << 3 << 7 << "U5 U5 U5 U6 U6 U6 U7";
        QTest::newRow("up to S99") << s << 98 << 2 << 4 << "S98 S98 S99 S99";
        QTest::newRow("past S99") << s << 98 << 1 << 3 << "";
        QTest::newRow("past U999") << u << 999 << 1 << 2 << "";
    }
    void theFill() {
        QFETCH(int, role);
        QFETCH(int, first);
        QFETCH(int, replicates);
        QFETCH(int, count);
        QFETCH(QString, tokens);
        const auto filled = KitTokens::fill(WellRole(role), first, replicates, count);
        QCOMPARE(filled.has_value(), !tokens.isEmpty());
        if (filled)
            QCOMPARE(filled->join(QLatin1Char(' ')), tokens);
    }

    void wellOrders() {
        const QList<Well> block{{1, 3}, {0, 4}, {0, 3}, {1, 4}};
        QCOMPARE(names(KitTokens::inOrder(block, FillOrder::Strips)),
                 (QStringList{"A4", "B4", "A5", "B5"}));
        QCOMPARE(names(KitTokens::inOrder(block, FillOrder::Rows)),
                 (QStringList{"A4", "A5", "B4", "B5"}));
    }

    void numbersTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // -1: none
        QTest::newRow("comma") << "0,5" << 0.5;
        QTest::newRow("point") << "0.5" << 0.5;
        QTest::newRow("blanks") << " 12 " << 12.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("comma, not a thousand") << "1,500" << 1.5;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("word") << "abc" << -1.0;
    }
    void numbersTyped() {
        QFETCH(QString, text);
        QFETCH(double, value);
        const auto read = readNumber(text);
        QCOMPARE(read.has_value(), value >= 0);
        if (read)
            QCOMPARE(*read, value);
    }

    void mouseSelection() {
        Rig rig(screenKit());
        KitGrid *grid = rig.editor.grid();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.editor));
        QWidget *cells = grid->viewport();
        QTest::mouseClick(cells, Qt::LeftButton, {}, centre(grid, 0, 0));
        QCOMPARE(names(grid->selectedWells()), QStringList{"A1"});
        QTest::mouseClick(cells, Qt::LeftButton, Qt::ShiftModifier, centre(grid, 2, 1));
        QCOMPARE(names(grid->selectedWells()), (QStringList{"A1", "B1", "C1", "A2", "B2", "C2"}));
        QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, centre(grid, 7, 11));
        QCOMPARE(grid->selectedWells().size(), 7);
        QCOMPARE(grid->selectedWells().last().name(), QStringLiteral("H12"));

        QTest::mousePress(cells, Qt::LeftButton, {}, centre(grid, 1, 2));
        QTest::mouseMove(cells, centre(grid, 2, 3));
        QTest::mouseMove(cells, centre(grid, 3, 3));
        QTest::mouseRelease(cells, Qt::LeftButton, {}, centre(grid, 3, 3));
        QCOMPARE(names(grid->selectedWells()), (QStringList{"B3", "C3", "D3", "B4", "C4", "D4"}));

        clickHeading(grid->horizontalHeader(), 4);
        QCOMPARE(names(grid->selectedWells()),
                 (QStringList{"A5", "B5", "C5", "D5", "E5", "F5", "G5", "H5"}));
        clickHeading(grid->verticalHeader(), 2);
        const QStringList rowC = names(grid->selectedWells());
        QCOMPARE(rowC.size(), 12);
        QVERIFY(rowC.first() == "C1" && rowC.last() == "C12");
    }

    void keyboardSelection() {
        Rig rig(screenKit());
        KitGrid *grid = rig.editor.grid();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.editor));
        rig.editor.activateWindow();
        grid->setFocus();
        grid->setCurrentCell(0, 0);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(names(grid->selectedWells()), (QStringList{"A1", "B1", "C1", "A2", "B2", "C2"}));
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(grid->selectedWells().size(), 96);
        // Enter gives the selection the role chosen, here the sample 1.
        // An arrow alone leaves one well selected: D2, below C2.
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(names(grid->selectedWells()), QStringList{"D2"});
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(stripTokens(grid, 1), QStringLiteral("- - - U1 - - - -"));
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != grid);
    }

    // Strips 2 and 3 chosen by their headings, samples from 1 in pairs.
    void fillInOrderWithReplicates() {
        Rig rig(screenKit());
        KitGrid *grid = rig.editor.grid();
        RolePanel *roles = rig.editor.rolePanel();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.editor));
        clickHeading(grid->horizontalHeader(), 1);
        clickHeading(grid->horizontalHeader(), 2, Qt::ControlModifier);
        roles->chooseRole(WellRole::Sample);
        roles->numberBox()->setValue(1);
        roles->replicatesBox()->setValue(2);
        QTest::mouseClick(roles->fillButton(), Qt::LeftButton);
        QCOMPARE(stripTokens(grid, 1), QStringLiteral("U1 U1 U2 U2 U3 U3 U4 U4"));
        QCOMPARE(stripTokens(grid, 2), QStringLiteral("U5 U5 U6 U6 U7 U7 U8 U8"));
        QCOMPARE(roles->numberBox()->value(), 9);
        // The samples' table: U1…U4 of strip 1 and U1…U8 are the same eight.
        QCOMPARE(rig.editor.tables()->samples()->rowCount(), 8);

        // The same by rows, standards from 95: S99 is reached, S100 refused.
        grid->selectWells({{0, 4}, {0, 5}, {1, 4}, {1, 5}});
        roles->chooseRole(WellRole::Standard);
        roles->numberBox()->setValue(95);
        roles->replicatesBox()->setValue(1);
        roles->orderBox()->setCurrentIndex(roles->orderBox()->findData(int(FillOrder::Rows)));
        QVERIFY(roles->fillInOrder());
        QCOMPARE(stripTokens(grid, 4), QStringLiteral("S95 S97 - - - - - -"));
        QCOMPARE(stripTokens(grid, 5), QStringLiteral("S96 S98 - - - - - -"));
        grid->selectWells({{2, 4}, {2, 5}, {3, 4}});
        roles->numberBox()->setValue(98);
        QVERIFY(!roles->fillInOrder());
        QVERIFY(roles->message().contains("S100"));
        QCOMPARE(grid->token(2, 4), QStringLiteral("-"));
    }

    // Roles, controls' names, the cells' spoken text, and the tables'
    // rows following the layout with their values kept.
    void assigningRoles() {
        Rig rig(screenKit());
        KitGrid *grid = rig.editor.grid();
        RolePanel *roles = rig.editor.rolePanel();
        QTableWidget *standards = rig.editor.tables()->standards();
        grid->selectWells({{0, 2}, {1, 2}});
        roles->chooseRole(WellRole::Standard);
        roles->numberBox()->setValue(3);
        QVERIFY(roles->assign());
        QCOMPARE(stripTokens(grid, 2), QStringLiteral("S3 S3 - - - - - -"));
        QCOMPARE(grid->item(1, 2)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("B3: Standard 3"));
        QCOMPARE(standards->rowCount(), 1);
        standards->item(0, 1)->setText(QStringLiteral("2,5"));
        QCOMPARE(rig.editor.kit().standards.value("S3"), 2.5);

        roles->chooseRole(WellRole::Unused);
        QVERIFY(roles->assign());
        QCOMPARE(standards->rowCount(), 0);
        QVERIFY(rig.editor.kit().standards.isEmpty());
        roles->chooseRole(WellRole::Standard);
        roles->numberBox()->setValue(3);
        QVERIFY(roles->assign());
        QCOMPARE(standards->item(0, 1)->text(), QStringLiteral("2,5"));

        grid->selectWells({{5, 3}});
        roles->chooseRole(WellRole::Control);
        roles->controlBox()->setCurrentText(QStringLiteral("1X"));
        QVERIFY(!roles->assign());
        QVERIFY(roles->message().contains("1X"));
        QCOMPARE(grid->token(5, 3), QStringLiteral("-"));
        roles->controlBox()->setCurrentText(QStringLiteral("CAL"));
        QVERIFY(roles->assign());
        QCOMPARE(rig.editor.kit().controls, (QStringList{"NC", "PC", "CAL"}));
        QCOMPARE(grid->item(5, 3)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("F4: Control CAL"));
        // Gone from the layout, gone from the kit.
        roles->chooseRole(WellRole::Blank);
        QVERIFY(roles->assign());
        QCOMPARE(rig.editor.kit().controls, (QStringList{"NC", "PC"}));
        QCOMPARE(grid->token(5, 3), QStringLiteral("BLK"));
    }

    // The library's message, with its position, as it is typed; a formula
    // naming a group follows the layout; a wrong one keeps the kit unsaved.
    void formulasCheckedAsTyped() {
        Rig rig(screenKit());
        FormulaField *cutoff = rig.editor.cutoffField();
        type(cutoff->edit(), QStringLiteral("mean(XX) + 0.150"));
        QCOMPARE(cutoff->problem(), QStringLiteral("position 6: no group XX in the kit's layout"));
        QVERIFY(cutoff->verdict()->text().contains(cutoff->problem()));
        type(cutoff->edit(), QStringLiteral("mean(NC) + 0.150"));
        QVERIFY(cutoff->problem().isEmpty());
        QVERIFY(cutoff->verdict()->text().contains("correct"));

        RuleList *rules = rig.editor.ruleList();
        FormulaField *rule = rules->addRule();
        type(rule->edit(), QStringLiteral("mean(U9) > 0.1"));
        QVERIFY(!rule->problem().isEmpty());
        QVERIFY(!rig.editor.save());
        QVERIFY(rig.written.isEmpty());
        QCOMPARE(rig.warnings.size(), 1);
        QVERIFY(rig.warnings[0].contains("Validity rule 1: position 6: no group U9"));

        rig.editor.grid()->selectWells({{0, 6}});
        rig.editor.rolePanel()->chooseRole(WellRole::Sample);
        rig.editor.rolePanel()->numberBox()->setValue(9);
        QVERIFY(rig.editor.rolePanel()->assign());
        QVERIFY(rule->problem().isEmpty());
        QVERIFY(rig.editor.problems().isEmpty());
    }

    // The grey zone in % on screen and a fraction in the kit; the CV limit
    // only while its box is ticked.
    void percentFields() {
        Rig rig(screenKit());
        auto *greyZone = rig.editor.findChild<QDoubleSpinBox *>("greyZone");
        QCOMPARE(greyZone->value(), 10.0);
        greyZone->setValue(12.5);
        QCOMPARE(rig.editor.kit().cutoff->greyZone, 0.125);
        QVERIFY(!rig.editor.kit().cvLimit);
        rig.editor.findChild<QCheckBox *>("hasCvLimit")->setChecked(true);
        rig.editor.findChild<QDoubleSpinBox *>("cvLimit")->setValue(20);
        QCOMPARE(rig.editor.kit().cvLimit.value_or(0), 20.0);
    }

    // A quantitative kit made from nothing: what Save hands over, and what
    // the kit file of it reads back as.
    void savingANewKit() {
        Rig rig{Kit()};
        QVERIFY(!rig.editor.isModified());
        const QStringList before = rig.editor.problems();
        QVERIFY(before.contains("The kit has no name."));
        QVERIFY(before.contains("No well of the layout is in use."));

        KitGrid *grid = rig.editor.grid();
        RolePanel *roles = rig.editor.rolePanel();
        grid->selectWells({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
        roles->chooseRole(WellRole::Standard);
        roles->numberBox()->setValue(1);
        roles->replicatesBox()->setValue(2);
        QVERIFY(roles->fillInOrder());
        grid->selectWells({{4, 0}});
        roles->chooseRole(WellRole::Blank);
        QVERIFY(roles->assign());
        grid->selectWells({{5, 0}, {6, 0}});
        roles->chooseRole(WellRole::Sample);
        roles->numberBox()->setValue(1);
        roles->replicatesBox()->setValue(1);
        QVERIFY(roles->fillInOrder());
        rig.editor.findChild<QRadioButton *>("byCurve")->setChecked(true);
        auto *model = rig.editor.findChild<QComboBox *>("model");
        model->setCurrentIndex(model->findData(int(CurveModel::Linear)));
        type(rig.editor.findChild<QLineEdit *>("name"), QStringLiteral("  Linear test "));

        // Concentrations missing: not saved, and the reason names them.
        QVERIFY(!rig.editor.save());
        QVERIFY(rig.warnings.last().contains("S1 has no concentration"));
        QTableWidget *standards = rig.editor.tables()->standards();
        standards->item(0, 1)->setText(QStringLiteral("0,5"));
        standards->item(1, 1)->setText(QStringLiteral("0,5"));
        QVERIFY(rig.editor.problems().join('\n').contains("same concentration"));
        standards->item(1, 1)->setText(QStringLiteral("1.5"));
        QTableWidget *samples = rig.editor.tables()->samples();
        samples->item(1, 1)->setText(QStringLiteral("Петров"));
        samples->item(1, 2)->setText(QStringLiteral("10"));
        QVERIFY(rig.editor.isModified());

        rig.refusal = QStringLiteral("the disk is full");
        QVERIFY(!rig.editor.save());
        QCOMPARE(rig.warnings.last(), rig.refusal);
        QVERIFY(rig.editor.isVisible());
        rig.refusal.clear();
        QVERIFY(rig.editor.save());
        QCOMPARE(rig.editor.result(), int(QDialog::Accepted));
        QCOMPARE(rig.written.size(), 2);

        const Kit &saved = rig.written.last();
        QCOMPARE(saved.name, QStringLiteral("Linear test"));
        QCOMPARE(stripTokens(grid, 0), QStringLiteral("S1 S1 S2 S2 BLK U1 U2 -"));
        QCOMPARE(saved.standards, (QMap<QString, double>{{"S1", 0.5}, {"S2", 1.5}}));
        QCOMPARE(saved.sampleNames, (QMap<QString, QString>{{"U2", "Петров"}}));
        QCOMPARE(saved.dilutions, (QMap<QString, double>{{"U2", 10.0}}));
        QVERIFY(saved.curve && saved.curve->model == CurveModel::Linear && !saved.cutoff);
        const KitRead back = readKit(kitJson(saved), "new.assay.json");
        QVERIFY2(back.kit, qPrintable(back.error));
        QCOMPARE(kitJson(*back.kit), kitJson(saved));
        QVERIFY(!rig.editor.isModified());
    }

    // The examples through the editor and back, untouched.
    void theExampleKits_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("hcv-screen") << "hcv-screen.assay.json";
        QTest::newRow("ferritin-4pl") << "ferritin-4pl.assay.json";
    }
    void theExampleKits() {
        QFETCH(QString, file);
        const KitRead read = loadKit(QStringLiteral(TELKARO_SOURCE_DIR "/examples/") + file);
        QVERIFY2(read.kit, qPrintable(read.error));
        Rig rig(*read.kit);
        QVERIFY(!rig.editor.isModified());
        QVERIFY(rig.editor.problems().isEmpty());
        QVERIFY(rig.editor.save());
        QCOMPARE(rig.written.size(), 1);
        QCOMPARE(kitJson(rig.written[0]), kitJson(*read.kit));
    }

    // Closing with changes asks, and each answer does what it says.
    void closingAsks() {
        {
            Rig rig(screenKit());
            rig.editor.reject();
            QCOMPARE(rig.asked, 0);
            QCOMPARE(rig.editor.result(), int(QDialog::Rejected));
            QVERIFY(!rig.editor.isVisible());
        }
        Rig rig(screenKit());
        type(rig.editor.findChild<QLineEdit *>("units"), QStringLiteral("S/CO"));
        QVERIFY(rig.editor.isModified());
        rig.answer = QMessageBox::Cancel;
        QVERIFY(!rig.editor.close());
        QCOMPARE(rig.asked, 1);
        QVERIFY(rig.editor.isVisible());
        rig.answer = QMessageBox::Save;
        QTest::keyClick(&rig.editor, Qt::Key_Escape);
        QCOMPARE(rig.asked, 2);
        QCOMPARE(rig.written.size(), 1);
        QCOMPARE(rig.written[0].units, QStringLiteral("S/CO"));
        QCOMPARE(rig.editor.result(), int(QDialog::Accepted));

        Rig discarding(screenKit());
        discarding.editor.findChild<QCheckBox *>("subtractBlank")->setChecked(false);
        discarding.answer = QMessageBox::Discard;
        QTest::mouseClick(discarding.editor.findChild<QPushButton *>("cancel"), Qt::LeftButton);
        QCOMPARE(discarding.asked, 1);
        QVERIFY(discarding.written.isEmpty());
        QCOMPARE(discarding.editor.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestKitEditor)
#include "test_kit_editor.moc"
