// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assay_runner.h"
#include "kit_library.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class PlateMap;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;
class ResultsModel;
class SvgPicture;

// «ТЕЛКАРО Анализ»: the kits, one button that measures the plate by the kit
// chosen, and the kit's answer: the verdict, the plate map, the curve and
// the results, printed and saved.
class AssayWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit AssayWindow(QWidget *parent = nullptr);
    ~AssayWindow() override;

    // Where the kits are looked for (before start()).
    void setKitFolders(const KitFolders &folders) { m_folders = folders; }
    // Lists the kits, chooses kitPath (or the last kit used), opens the port.
    void start(const QString &portName, bool chosenByDefault, const QString &kitPath);
    // Chooses the kit of this file, listed or not; false when it is wrong
    // (the library's message is shown).
    bool chooseKit(const QString &path);
    // Analyses a plate file by the kit chosen; false with a message shown.
    bool openPlate(const QString &path);

    AssayRunner &runner() { return m_runner; }
    const std::optional<AssayResult> &result() const { return m_result; }

    // The operator's answers, asked through these (tests answer them).
    // A file to save to (empty: cancelled); the dialog asks before it
    // replaces a file.
    std::function<QString(const QString &title, const QString &suggested, const QString &filters)>
        chooseSaveFile;
    std::function<QString(const QString &title, const QString &filters)> chooseOpenFile;
    // A question; true for yes.
    std::function<bool(const QString &text)> ask;
    // A message that something failed.
    std::function<void(const QString &text)> warn;

    // The operator's commands.
    void measure();
    void printReport();
    bool saveReport(const QString &path);
    bool saveResults(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    void buildActions();
    void listKits(const QString &select);
    void addKitItem(const KitEntry &entry);
    void kitChosen();
    void newKit();
    void copyKit();
    void editKit();
    void runEditor(const Kit &kit, const QString &path);
    void showStatus(const QString &text, AssayRunner::Tone tone);
    void showResult(const AssayResult &result);
    void showFailure(const QString &why);
    void clearAnswer();
    void updateState();
    void updateTitle();
    void copyResults();
    void askOpenPlate();
    void askSaveReport();
    void askSaveResults();
    QString suggestedName(const QString &suffix) const;
    bool writeBesideDat(const QString &path);
    bool writeFile(const QString &path, const QByteArray &content);
    void restoreSettings();
    void saveSettings();

    AssayRunner m_runner;
    KitFolders m_folders;
    QList<KitEntry> m_kits;
    std::optional<AssayResult> m_result;
    bool m_resultSaved = true;
    QString m_saveFolder;
    QString m_plateFolder;

    QListWidget *m_kitList = nullptr;
    QLabel *m_kitProblem = nullptr;
    QPushButton *m_newKit = nullptr;
    QPushButton *m_copyKit = nullptr;
    QPushButton *m_editKit = nullptr;
    QPushButton *m_measure = nullptr;
    QPushButton *m_openPlate = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_saveReport = nullptr;
    QPushButton *m_saveResults = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_runFacts = nullptr;
    QLabel *m_verdict = nullptr;
    PlateMap *m_map = nullptr;
    SvgPicture *m_curve = nullptr;
    QLabel *m_curveFacts = nullptr;
    ResultsModel *m_results = nullptr;
    QTableView *m_table = nullptr;
};
