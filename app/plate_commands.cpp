// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_commands.h"

#include "common_dialog.h"
#include "core/menu_flags.h"
#include "core/module1.h"
#include "core/pane_model.h"
#include "plate/dat_file.h"
#include "plate/plate_block.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

PlateCommands::PlateCommands(Модуль1 &moduleState, PaneModel &ОкноПечати, MenuFlags &menus,
                             CommonDialog1 &dialog)
    : m_moduleState(moduleState)
    , m_pane(ОкноПечати)
    , m_menus(menus)
    , m_dialog(dialog) {}

QString PlateCommands::dataFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\ProgramFiles\\QEV\\DAT");
#else
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("QEV/DAT"));
#endif
}

void PlateCommands::showWarning(const QString &text) {
    if (m_warn)
        m_warn(text);
}

void PlateCommands::менюФайлClip_Click() {
    // The clipboard takes the plate text as it is; a clipboard that cannot
    // be reached is passed over without a word.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(m_moduleState.PlateText);
}

void PlateCommands::менюФайлЗапись_Click() {
#ifndef Q_OS_WIN
    QDir().mkpath(dataFolder()); // so that the dialog opens where the files are kept
#endif
    m_dialog.InitDir = dataFolder();
    m_dialog.DialogTitle = QStringLiteral("Запись файла");
    m_dialog.Filter = QStringLiteral("Файлы данных (*.dat)|*.dat");
    m_dialog.ShowSave();
    const QString path = m_dialog.FileName;
    if (path.isEmpty())
        return;

    // The buffer is read after the dialog has closed: what it holds now is
    // what gets written.
    const int strips = stripsToSave(m_moduleState.RxBuffer);
    if (strips < 0) {
        showWarning(QStringLiteral("Нет данных плашки для записи.\n"
                                   "Файл %1 не записан: дождитесь окончания измерения "
                                   "или чтения плашки.")
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QString text = plateText(m_moduleState.RxBuffer, strips);
    const QString failure = writeDatFile(path, text.toLatin1());
    if (!failure.isEmpty()) {
        showWarning(QStringLiteral("Не удалось записать файл %1:\n%2")
                        .arg(QDir::toNativeSeparators(path), failure));
    }
}

void PlateCommands::менюФайлПросмотр_Click() {
    m_dialog.DialogTitle = QStringLiteral("Open");
    m_dialog.Filter = QStringLiteral("Файлы данных (*.dat)|*.dat|Все файлы (*.*)|*.*");
    m_dialog.ShowOpen();
    const QString path = m_dialog.FileName;
    if (path.isEmpty())
        return;

    const QFileInfo info(path);
    if (info.isFile() && info.size() > maxDatFileSize) {
        showWarning(QStringLiteral("Файл %1 слишком велик для файла данных плашки "
                                   "(больше 1 МБ) и не открыт.")
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }

    m_pane.Cls();
    // The pane is cleared before the file is read. From here a file that
    // cannot be read ends the command silently: the pane stays empty, or
    // keeps the fields read before the content ran out, and the plate text
    // and Save stay as they were.
    // Only an ordinary file is read. A FIFO, a device, a socket or a folder
    // could hold the window in open() or in a read for good: it ends the
    // command as a file that cannot be read does. The look is taken now,
    // after the dialog, and the open file is looked at again.
    if (!info.isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (file.isSequential())
        return; // it became something else between the look and the open
    const QByteArray content = file.read(maxDatFileSize + 1);
    file.close();
    if (content.size() > maxDatFileSize)
        return; // grew while we looked at it

    const DatFileRead read = readDatFile(content);
    for (const DatFileRead::Field &field : read.fields) {
        m_pane.PSet(static_cast<double>(field.s), field.r);
        m_pane.printJoined(field.text);
    }
    if (!read.complete)
        return;
    m_moduleState.PlateText = QString::fromLatin1(content);
    m_menus.setEnabled(Menu::менюФайлЗапись, false);
}
