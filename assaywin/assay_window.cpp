// SPDX-License-Identifier: GPL-3.0-or-later
#include "assay_window.h"

#include "kit_editor.h"
#include "plate_map.h"
#include "results_model.h"
#include "svg_picture.h"

#include "assay/report.h"
#include "core/settings_store.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString settingsGroup = QStringLiteral("Assay");

QString toneStyle(AssayRunner::Tone tone) {
    switch (tone) {
    case AssayRunner::Tone::Good:
        return QStringLiteral("color: #0b5d1e;");
    case AssayRunner::Tone::Busy:
        return QStringLiteral("color: #08519c; font-weight: bold;");
    case AssayRunner::Tone::Problem:
        return QStringLiteral("color: #8b0000;");
    case AssayRunner::Tone::Neutral:
        break;
    }
    return QString();
}

QPushButton *button(const QString &text, const QString &accessibleName, QWidget *parent) {
    auto *b = new QPushButton(text, parent);
    b->setAccessibleName(accessibleName);
    return b;
}
} // namespace

AssayWindow::AssayWindow(QWidget *parent)
    : QMainWindow(parent) {
    m_folders = kitFolders();
    chooseSaveFile = [this](const QString &title, const QString &suggested,
                            const QString &filters) {
        return QFileDialog::getSaveFileName(this, title, suggested, filters);
    };
    chooseOpenFile = [this](const QString &title, const QString &filters) {
        return QFileDialog::getOpenFileName(this, title, m_plateFolder, filters);
    };
    ask = [this](const QString &text) {
        return QMessageBox::question(this, windowTitle(), text) == QMessageBox::Yes;
    };
    warn = [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); };
    buildWidgets();
    buildActions();
    connect(&m_runner, &AssayRunner::status, this, &AssayWindow::showStatus);
    connect(&m_runner, &AssayRunner::stateChanged, this, &AssayWindow::updateState);
    connect(&m_runner, &AssayRunner::analysed, this, &AssayWindow::showResult);
    connect(&m_runner, &AssayRunner::measurementFailed, this, &AssayWindow::showFailure);
    restoreSettings();
    updateState();
    updateTitle();
}

AssayWindow::~AssayWindow() = default;

void AssayWindow::buildWidgets() {
    auto *kitsPanel = new QWidget(this);
    auto *kitsLayout = new QVBoxLayout(kitsPanel);
    auto *kitsLabel = new QLabel(tr("&Kits"), kitsPanel);
    m_kitList = new QListWidget(kitsPanel);
    m_kitList->setAccessibleName(tr("Kits"));
    m_kitList->setWordWrap(true);
    m_kitList->setTextElideMode(Qt::ElideNone);
    kitsLabel->setBuddy(m_kitList);
    m_kitProblem = new QLabel(kitsPanel);
    m_kitProblem->setWordWrap(true);
    m_kitProblem->setStyleSheet(QStringLiteral("color: #8b0000;"));
    m_kitProblem->setAccessibleName(tr("Kit file problem"));
    m_kitProblem->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *kitButtons = new QHBoxLayout;
    m_newKit = button(tr("&New"), tr("New kit"), kitsPanel);
    m_copyKit = button(tr("Co&py"), tr("Copy the kit"), kitsPanel);
    m_editKit = button(tr("&Edit"), tr("Edit the kit"), kitsPanel);
    kitButtons->addWidget(m_newKit);
    kitButtons->addWidget(m_copyKit);
    kitButtons->addWidget(m_editKit);
    kitsLayout->addWidget(kitsLabel);
    kitsLayout->addWidget(m_kitList, 1);
    kitsLayout->addWidget(m_kitProblem);
    kitsLayout->addLayout(kitButtons);

    auto *work = new QWidget(this);
    auto *workLayout = new QVBoxLayout(work);
    auto *commands = new QHBoxLayout;
    m_measure = button(tr("&Measure"), tr("Measure"), work);
    QFont big = m_measure->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_measure->setFont(big);
    m_measure->setMinimumHeight(m_measure->sizeHint().height() * 3 / 2);
    m_openPlate = button(tr("&Open plate…"), tr("Open a plate file"), work);
    m_print = button(tr("P&rint…"), tr("Print the report"), work);
    m_saveReport = button(tr("Save re&port…"), tr("Save the report as PDF"), work);
    m_saveResults = button(tr("&Save results…"), tr("Save the results as CSV or JSON"), work);
    commands->addWidget(m_measure);
    commands->addWidget(m_openPlate);
    commands->addStretch();
    commands->addWidget(m_print);
    commands->addWidget(m_saveReport);
    commands->addWidget(m_saveResults);
    m_status = new QLabel(work);
    m_status->setWordWrap(true);
    m_status->setAccessibleName(tr("Instrument status"));
    m_runFacts = new QLabel(work);
    m_runFacts->setWordWrap(true);
    m_runFacts->setAccessibleName(tr("Run"));
    // The verdict's own text says it: a screen reader reads the label itself.
    m_verdict = new QLabel(work);
    m_verdict->setWordWrap(true);
    m_verdict->setTextFormat(Qt::PlainText);
    m_verdict->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_verdict->setFocusPolicy(Qt::StrongFocus);
    QFont verdictFont = m_verdict->font();
    verdictFont.setPointSizeF(verdictFont.pointSizeF() * 1.6);
    verdictFont.setBold(true);
    m_verdict->setFont(verdictFont);

    m_map = new PlateMap(work);
    m_curve = new SvgPicture(work);
    m_curve->setAccessibleName(tr("Standard curve"));
    m_curveFacts = new QLabel(work);
    m_curveFacts->setWordWrap(true);
    m_curveFacts->setAccessibleName(tr("Standard curve fit"));
    auto *curvePanel = new QWidget(work);
    auto *curveLayout = new QVBoxLayout(curvePanel);
    curveLayout->setContentsMargins(0, 0, 0, 0);
    curveLayout->addWidget(m_curve, 1);
    curveLayout->addWidget(m_curveFacts);
    m_results = new ResultsModel(this);
    m_table = new QTableView(work);
    m_table->setModel(m_results);
    m_table->setAccessibleName(tr("Results"));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *resultsLabel = new QLabel(tr("Res&ults"), work);
    resultsLabel->setBuddy(m_table);

    // The plate map across the top; the results, and the curve beside them
    // for a kit that has one, below.
    auto *tablePanel = new QWidget(work);
    auto *tableLayout = new QVBoxLayout(tablePanel);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(resultsLabel);
    tableLayout->addWidget(m_table, 1);
    auto *below = new QSplitter(Qt::Horizontal, work);
    below->addWidget(tablePanel);
    below->addWidget(curvePanel);
    below->setStretchFactor(0, 2);
    below->setStretchFactor(1, 1);
    below->setSizes({560, 320});
    auto *answer = new QSplitter(Qt::Vertical, work);
    answer->addWidget(m_map);
    answer->addWidget(below);
    answer->setStretchFactor(0, 0);
    answer->setStretchFactor(1, 1);
    answer->setCollapsible(0, false);

    workLayout->addLayout(commands);
    workLayout->addWidget(m_status);
    workLayout->addWidget(m_verdict);
    workLayout->addWidget(m_runFacts);
    workLayout->addWidget(answer, 1);

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(kitsPanel);
    split->addWidget(work);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({270, 910});
    setCentralWidget(split);
    resize(1180, 800);
}

void AssayWindow::buildActions() {
    connect(m_kitList, &QListWidget::currentRowChanged, this, &AssayWindow::kitChosen);
    connect(m_newKit, &QPushButton::clicked, this, &AssayWindow::newKit);
    connect(m_copyKit, &QPushButton::clicked, this, &AssayWindow::copyKit);
    connect(m_editKit, &QPushButton::clicked, this, &AssayWindow::editKit);
    connect(m_kitList, &QListWidget::itemActivated, this, [this] {
        if (m_editKit->isEnabled())
            editKit();
    });
    connect(m_measure, &QPushButton::clicked, this, &AssayWindow::measure);
    connect(m_openPlate, &QPushButton::clicked, this, &AssayWindow::askOpenPlate);
    connect(m_print, &QPushButton::clicked, this, &AssayWindow::printReport);
    connect(m_saveReport, &QPushButton::clicked, this, &AssayWindow::askSaveReport);
    connect(m_saveResults, &QPushButton::clicked, this, &AssayWindow::askSaveResults);
    auto *copy = new QAction(tr("Copy"), m_table);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &AssayWindow::copyResults);
    m_table->addAction(copy);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void AssayWindow::start(const QString &portName, bool chosenByDefault, const QString &kitPath) {
    SettingsStore store;
    store.beginGroup(settingsGroup);
    const QString last = store.value(QStringLiteral("Kit")).toString();
    store.endGroup();
    listKits(kitPath.isEmpty() ? last : QString());
    if (!kitPath.isEmpty())
        chooseKit(kitPath);
    m_runner.open(portName, chosenByDefault);
}

void AssayWindow::listKits(const QString &select) {
    m_kits = ::listKits(m_folders);
    const QSignalBlocker blocker(m_kitList);
    m_kitList->clear();
    int chosen = m_kits.isEmpty() ? -1 : 0;
    for (qsizetype i = 0; i < m_kits.size(); ++i) {
        addKitItem(m_kits[i]);
        if (!select.isEmpty() && QFileInfo(m_kits[i].path) == QFileInfo(select))
            chosen = static_cast<int>(i);
    }
    m_kitList->setCurrentRow(chosen);
    kitChosen();
}

void AssayWindow::addKitItem(const KitEntry &entry) {
    QString text = entry.title();
    if (entry.installed)
        text += tr(" (installed)");
    if (!entry.kit)
        text = tr("%1 — wrong").arg(text);
    auto *item = new QListWidgetItem(text, m_kitList);
    item->setToolTip(entry.kit ? QDir::toNativeSeparators(entry.path) : entry.error);
    if (!entry.kit)
        item->setForeground(QColor(0x8b, 0, 0));
}

bool AssayWindow::chooseKit(const QString &path) {
    const auto choose = [this](qsizetype i) {
        m_kitList->setCurrentRow(static_cast<int>(i));
        return m_kits[i].kit.has_value();
    };
    // The file itself, or a listed one of the same bytes (an installed kit
    // named by its copy in a working folder).
    for (qsizetype i = 0; i < m_kits.size(); ++i)
        if (QFileInfo(m_kits[i].path) == QFileInfo(path))
            return choose(i);
    const KitEntry named = readKitEntry(QFileInfo(path).absoluteFilePath(), false);
    for (qsizetype i = 0; named.kit && i < m_kits.size(); ++i)
        if (m_kits[i].sha256 == named.sha256)
            return choose(i);
    // A kit file from elsewhere: listed for this run.
    m_kits << named;
    addKitItem(named);
    return choose(m_kits.size() - 1);
}

void AssayWindow::kitChosen() {
    const int row = m_kitList->currentRow();
    const KitEntry entry = row >= 0 && row < m_kits.size() ? m_kits[row] : KitEntry();
    if (!m_runner.setKit(entry))
        return;
    m_kitProblem->setText(entry.kit || entry.path.isEmpty() ? QString() : entry.error);
    m_kitProblem->setVisible(!m_kitProblem->text().isEmpty());
    if (!m_result && entry.kit)
        m_map->showLayout(*entry.kit);
    updateTitle();
    updateState();
}

void AssayWindow::updateTitle() {
    const KitEntry &entry = m_runner.kit();
    setWindowTitle(entry.kit ? tr("TELKARO Analysis — %1").arg(entry.title())
                             : tr("TELKARO Analysis"));
}

void AssayWindow::updateState() {
    const bool measuring = m_runner.isMeasuring();
    const KitEntry &entry = m_runner.kit();
    m_measure->setEnabled(m_runner.canMeasure());
    m_kitList->setEnabled(!measuring);
    m_newKit->setEnabled(!measuring);
    m_copyKit->setEnabled(!measuring && entry.kit);
    m_editKit->setEnabled(!measuring && entry.kit);
    m_openPlate->setEnabled(!measuring && entry.kit);
    const bool shown = m_result.has_value() && !measuring;
    m_print->setEnabled(shown);
    m_saveReport->setEnabled(shown);
    m_saveResults->setEnabled(shown);
}

void AssayWindow::measure() {
    if (m_result && !m_resultSaved &&
        !ask(tr("The results shown are not saved. Measure a new plate?")))
        return;
    if (m_runner.measure())
        clearAnswer();
}

// Nothing of the last answer stays on screen as if it were this plate's.
void AssayWindow::clearAnswer() {
    m_result.reset();
    m_results->clear();
    m_verdict->clear();
    m_verdict->hide();
    m_runFacts->clear();
    m_curve->setSvg(QByteArray());
    m_curveFacts->clear();
    if (m_runner.kit().kit)
        m_map->showLayout(*m_runner.kit().kit);
    updateState();
}

void AssayWindow::showStatus(const QString &text, AssayRunner::Tone tone) {
    m_status->setText(text);
    m_status->setStyleSheet(toneStyle(tone));
}

void AssayWindow::showFailure(const QString &why) {
    m_verdict->setText(tr("No result: %1").arg(why));
    m_verdict->setStyleSheet(QStringLiteral("color: #8b0000;"));
    m_verdict->show();
}

void AssayWindow::showResult(const AssayResult &result) {
    m_result = result;
    m_resultSaved = !result.measured;
    const Analysis &analysis = result.analysis;
    m_verdict->setText(verdictLines(analysis).join(QLatin1Char('\n')));
    m_verdict->setStyleSheet(analysis.valid
                                 ? QStringLiteral("color: #0b5d1e; background: #e5f5e0; "
                                                  "border: 2px solid #0b5d1e; padding: 6px;")
                                 : QStringLiteral("color: #8b0000; background: #fde0dd; "
                                                  "border: 2px solid #8b0000; padding: 6px;"));
    m_verdict->show();
    const QLocale locale;
    m_runFacts->setText(
        tr("Kit: %1. Plate: %2, %3.")
            .arg(result.kit.name, result.run.source,
                 locale.toString(result.plate.received().toLocalTime(), QLocale::ShortFormat)));
    m_map->show(result.kit, analysis);
    const QByteArray curve = curveSvg(result.kit, analysis);
    m_curve->setSvg(curve);
    m_curve->parentWidget()->setVisible(result.kit.curve.has_value());
    if (analysis.curve)
        m_curveFacts->setText(tr("%1, R² = %2")
                                  .arg(curveModelName(analysis.curve->model),
                                       locale.toString(analysis.curve->r2, 'f', 4)));
    else
        m_curveFacts->clear();
    m_results->show(result.kit, analysis);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->resizeColumnsToContents();
    updateState();
}

void AssayWindow::copyResults() {
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(tableText(*m_results, rows));
}

void AssayWindow::closeEvent(QCloseEvent *event) {
    if (m_runner.isMeasuring() && !ask(tr("A measurement is running. Close the window?"))) {
        event->ignore();
        return;
    }
    if (!m_runner.isMeasuring() && m_result && !m_resultSaved &&
        !ask(tr("The results shown are not saved. Close the window?"))) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void AssayWindow::restoreSettings() {
    SettingsStore store;
    store.beginGroup(settingsGroup);
    restoreGeometry(store.value(QStringLiteral("Geometry")).toByteArray());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    m_saveFolder = store.value(QStringLiteral("SaveFolder"), documents).toString();
    m_plateFolder = store.value(QStringLiteral("PlateFolder"), documents).toString();
}

void AssayWindow::saveSettings() {
    SettingsStore store;
    store.beginGroup(settingsGroup);
    store.setValue(QStringLiteral("Geometry"), saveGeometry());
    if (!m_runner.kit().path.isEmpty())
        store.setValue(QStringLiteral("Kit"), m_runner.kit().path);
    store.setValue(QStringLiteral("SaveFolder"), m_saveFolder);
    store.setValue(QStringLiteral("PlateFolder"), m_plateFolder);
}
