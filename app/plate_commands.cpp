// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_commands.h"

#include "common_dialog.h"
#include "session_presenter.h"

#include "plate/dat_file.h"
#include "plate/plate.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

QString dataFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\ProgramFiles\\QEV\\DAT");
#else
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("QEV/DAT"));
#endif
}

void copyPlateText(const QString &plateText) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(plateText);
}

QString saveShownPlate(CommonDialog1 &dialog, const Plate &shown) {
#ifndef Q_OS_WIN
    QDir().mkpath(dataFolder()); // so that the dialog opens where the files are kept
#endif
    dialog.InitDir = dataFolder();
    dialog.DialogTitle = QStringLiteral("Запись файла");
    dialog.Filter = QStringLiteral("Файлы данных (*.dat)|*.dat");
    dialog.ShowSave();
    const QString path = dialog.FileName;
    if (path.isEmpty())
        return QString();

    // What the grid shows after the dialog has closed is what gets written.
    if (shown.isNull() || !shown.isComplete()) {
        return QStringLiteral("Нет данных плашки для записи.\n"
                              "Файл %1 не записан: дождитесь окончания измерения "
                              "или чтения плашки.")
            .arg(QDir::toNativeSeparators(path));
    }
    const QString failure = writeDatFile(path, shown.text().toLatin1());
    if (!failure.isEmpty()) {
        return QStringLiteral("Не удалось записать файл %1:\n%2")
            .arg(QDir::toNativeSeparators(path), failure);
    }
    return QString();
}

QString viewDatFile(CommonDialog1 &dialog, SessionPresenter &presenter) {
    dialog.DialogTitle = QStringLiteral("Open");
    dialog.Filter = QStringLiteral("Файлы данных (*.dat)|*.dat|Все файлы (*.*)|*.*");
    dialog.ShowOpen();
    const QString path = dialog.FileName;
    if (path.isEmpty())
        return QString();

    // The file is looked at after the dialog has closed. A file too large
    // to be a plate file is refused with a word, the pane untouched. From
    // the clearing of the pane on, a file that cannot be read (a FIFO, a
    // device, a folder, one that vanished) ends the command silently: the
    // pane stays empty, or keeps the fields read before the content ran
    // out, and the plate text and Save stay as they were.
    const DatFileLoad load = loadDatFile(path);
    if (load.problem == DatFileLoad::Problem::TooLarge) {
        return QStringLiteral("Файл %1 слишком велик для файла данных плашки "
                              "(больше 1 МБ) и не открыт.")
            .arg(QDir::toNativeSeparators(path));
    }
    presenter.clearPane();
    if (load.problem != DatFileLoad::Problem::None)
        return QString();
    presenter.showFile(readDatFile(load.content), load.content);
    return QString();
}
