// SPDX-License-Identifier: GPL-3.0-or-later
#include "common_dialog.h"

#include <QFileDialog>

CommonDialog1::CommonDialog1(QWidget *owner)
    : m_owner(owner)
    , m_presenter(&CommonDialog1::showQtDialog) {}

void CommonDialog1::show(bool save) {
    const FileDialogRequest request{save, InitDir, DialogTitle, nameFilters(Filter), FileName};
    FileName = m_presenter ? m_presenter(m_owner, request) : QString();
}

QStringList CommonDialog1::nameFilters(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        if (!parts.at(i).isEmpty())
            filters.append(parts.at(i));
    }
    return filters;
}

QString CommonDialog1::showQtDialog(QWidget *owner, const FileDialogRequest &request) {
    QFileDialog dialog(owner, request.title, request.initDir);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Neither dialog insists that a typed name exist or asks before
    // overwriting; the commands deal with what they get.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(request.filters);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
