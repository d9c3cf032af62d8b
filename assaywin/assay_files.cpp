// SPDX-License-Identifier: GPL-3.0-or-later
// The assay window's files: kits made and edited, plates opened, and the
// answer printed and saved.
#include "assay_window.h"

#include "kit_editor.h"
#include "report_document.h"
#include "window_text.h"

#include "assay/results.h"
#include "plate/dat_file.h"
#include "plate/plate_export.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

void AssayWindow::newKit() {
    Kit kit;
    kit.name = tr("New kit");
    for (auto &row : kit.layout)
        row.fill(QStringLiteral("-"));
    kit.cutoff = Kit::Cutoff{QStringLiteral("mean(NC) + 0.100"), 0.1, true};
    runEditor(kit, QString());
}

void AssayWindow::copyKit() {
    if (!m_runner.kit().kit)
        return;
    Kit kit = *m_runner.kit().kit;
    kit.name = tr("%1 (copy)").arg(kit.name);
    runEditor(kit, QString());
}

void AssayWindow::editKit() {
    const KitEntry &entry = m_runner.kit();
    if (!entry.kit)
        return;
    // An installed kit is never written: its edits become the operator's own kit.
    runEditor(*entry.kit, entry.installed ? QString() : entry.path);
}

void AssayWindow::runEditor(const Kit &kit, const QString &path) {
    if (m_runner.isMeasuring())
        return;
    QString written;
    KitEditor editor(
        kit,
        [this, &path, &written](const Kit &edited) {
            const QString target = path.isEmpty() ? newKitPath(m_folders.own, edited.name) : path;
            const QString failure = writeKitFile(target, edited);
            if (failure.isEmpty())
                written = target;
            else
                return tr("The kit was not saved to %1: %2")
                    .arg(QDir::toNativeSeparators(target), failure);
            return QString();
        },
        this);
    editor.setWindowTitle(path.isEmpty() ? tr("New kit — TELKARO Analysis")
                                         : tr("Kit %1 — TELKARO Analysis").arg(kit.name));
    editor.exec();
    if (!written.isEmpty())
        listKits(written);
}

bool AssayWindow::openPlate(const QString &path) {
    const QString failure = m_runner.openPlate(path);
    if (!failure.isEmpty()) {
        warn(tr("The plate was not analysed. %1").arg(failure));
        return false;
    }
    m_plateFolder = QFileInfo(path).absolutePath();
    return true;
}

void AssayWindow::askOpenPlate() {
    const QString path =
        chooseOpenFile(tr("Open a plate"), tr("Plate files (*.dat *.json);;All files (*)"));
    if (!path.isEmpty())
        openPlate(path);
}

QString AssayWindow::suggestedName(const QString &suffix) const {
    const QDateTime time =
        m_result ? m_result->plate.received().toLocalTime() : QDateTime::currentDateTime();
    const QString stem = kitFileStem(m_result ? m_result->kit.name : QString());
    return QDir(m_saveFolder)
        .filePath(stem + time.toString(QStringLiteral("-yyyy-MM-dd-HHmm")) + suffix);
}

bool AssayWindow::writeFile(const QString &path, const QByteArray &content) {
    const QString failure =
        writeDatFile(path, content, WindowText::tr("the file was not written in full"));
    if (failure.isEmpty())
        return true;
    warn(tr("%1 was not saved: %2").arg(QDir::toNativeSeparators(path), failure));
    return false;
}

// The raw plate beside a saved file, of the same name with .dat: an
// existing file of other content is replaced only when the operator says so.
bool AssayWindow::writeBesideDat(const QString &path) {
    const QFileInfo saved(path);
    QString name = saved.fileName();
    for (const QString &suffix :
         {QStringLiteral(".pdf"), QStringLiteral(".csv"), QStringLiteral(".json")})
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            name.chop(suffix.size());
    const QString dat = saved.dir().filePath(name + QStringLiteral(".dat"));
    const QByteArray content = datContent(m_result->plate);
    if (QFileInfo::exists(dat)) {
        const DatFileLoad there = loadDatFile(dat);
        if (there.problem == DatFileLoad::Problem::None && there.content == content)
            return true;
        if (!ask(tr("%1 exists. Replace it with this plate?").arg(QDir::toNativeSeparators(dat))))
            return false;
    }
    return writeFile(dat, content);
}

bool AssayWindow::saveReport(const QString &path) {
    if (!m_result)
        return false;
    const QString failure = saveReportPdf(*m_result, path);
    if (!failure.isEmpty()) {
        warn(tr("%1 was not saved: %2").arg(QDir::toNativeSeparators(path), failure));
        return false;
    }
    m_saveFolder = QFileInfo(path).absolutePath();
    m_resultSaved = writeBesideDat(path) || m_resultSaved;
    return true;
}

bool AssayWindow::saveResults(const QString &path) {
    if (!m_result)
        return false;
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    const QByteArray content =
        csv ? analysisCsvHeader() + analysisCsv(m_result->kit, m_result->analysis)
            : analysisJson(m_result->kit, m_result->analysis, m_result->plate, m_result->run);
    if (!writeFile(path, content))
        return false;
    m_saveFolder = QFileInfo(path).absolutePath();
    m_resultSaved = writeBesideDat(path);
    return true;
}

void AssayWindow::askSaveReport() {
    const QString path = chooseSaveFile(tr("Save the report"),
                                        suggestedName(QStringLiteral(".pdf")), tr("PDF (*.pdf)"));
    if (!path.isEmpty())
        saveReport(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                       ? path
                       : path + QStringLiteral(".pdf"));
}

void AssayWindow::askSaveResults() {
    const QString path =
        chooseSaveFile(tr("Save the results"), suggestedName(QStringLiteral(".csv")),
                       tr("CSV (*.csv);;JSON (*.json)"));
    if (path.isEmpty())
        return;
    const bool known = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ||
                       path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
    saveResults(known ? path : path + QStringLiteral(".csv"));
}

void AssayWindow::printReport() {
    if (!m_result)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_result->kit.name);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print the report"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::unique_ptr<QTextDocument> document = reportDocument(*m_result);
    if (!paintReport(*document, printer) || printer.printerState() == QPrinter::Error)
        warn(tr("The report was not printed: the printer %1 refused it.")
                 .arg(printer.printerName()));
}
