// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QTextBrowser;

// The operator's guide in a window of the program's own, owned by the main
// window. A guide that cannot be found is reported in that window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *owner);

    // Shows the contents of the guide at path.
    void showGuide(const QString &path);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};

// The Help command. The help file name is fixed when the program is built;
// a relative name is looked for beside the program and in its installed
// share folder.
class Help {
public:
    // Asks the viewer to show the contents of a help file for the owner
    // window; false with a description when the request itself failed.
    using Viewer = std::function<bool(QWidget *owner, const QString &file, QString *error)>;
    // Shows a message box: text, title, and whether it carries the
    // information icon.
    using MessageBox =
        std::function<void(QWidget *owner, const QString &text, const QString &title, bool info)>;

    explicit Help(QWidget *owner, QString helpFile = defaultHelpFile());

    void менюПомощь_Click();

    static QString defaultHelpFile();
    static QString resolve(const QString &helpFile);

    void setViewer(Viewer viewer) { m_viewer = std::move(viewer); }
    void setMessageBox(MessageBox box) { m_messageBox = std::move(box); }
    HelpWindow *window() const { return m_window; }

private:
    void showInWindow(const QString &file);

    QWidget *m_owner;
    QString m_helpFile;
    Viewer m_viewer;
    MessageBox m_messageBox;
    QPointer<HelpWindow> m_window;
};
