// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// What a file dialog is asked to show.
struct FileDialogRequest {
    bool save = false;
    QString initDir;
    QString title;
    QStringList filters; // "description (pattern)", in order
    QString fileName;    // proposed file name, from the previous use
};

// Shows a file dialog and returns the chosen path, or an empty string when
// the operator cancelled. Tests put a function of their own here.
using FileDialogPresenter = std::function<QString(QWidget *owner, const FileDialogRequest &)>;

// The file dialog shared by Save and View file. Properties keep what they
// were set to until they are set again, so the folder a Save starts in also
// applies to a later View file; the file name chosen is proposed next time.
class CommonDialog1 {
public:
    explicit CommonDialog1(QWidget *owner = nullptr);

    QString InitDir;
    QString DialogTitle;
    QString Filter; // pairs of description and pattern separated by "|"
    QString FileName;

    void ShowSave() { show(true); }
    void ShowOpen() { show(false); }

    void setPresenter(FileDialogPresenter presenter) { m_presenter = std::move(presenter); }

    // "A (*.a)|*.a|B (*.*)|*.*" -> {"A (*.a)", "B (*.*)"}
    static QStringList nameFilters(const QString &filter);
    // The dialogs of the platform, without an overwrite question.
    static QString showQtDialog(QWidget *owner, const FileDialogRequest &request);

private:
    void show(bool save);

    QWidget *m_owner;
    FileDialogPresenter m_presenter;
};
