// SPDX-License-Identifier: GPL-3.0-or-later
#include "help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#ifndef TELKARO_HELP_FILE
#define TELKARO_HELP_FILE "TELKARO.md"
#endif

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("ОкноПомощи"));
    setWindowTitle(QStringLiteral("ТЕЛКАРО — помощь"));
    m_browser->setObjectName(QStringLiteral("ТекстПомощи"));
    m_browser->setOpenExternalLinks(true);
    m_browser->document()->setDocumentMargin(12);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 640);
}

void HelpWindow::showGuide(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_browser->setPlainText(QStringLiteral("Не удалось открыть файл помощи\n%1")
                                    .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const auto type = info.suffix().compare(QLatin1String("md"), Qt::CaseInsensitive) == 0
                          ? QTextDocument::MarkdownResource
                          : QTextDocument::UnknownResource;
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()), type);
}

Help::Help(QWidget *owner, QString helpFile)
    : m_owner(owner)
    , m_helpFile(std::move(helpFile)) {
    // The program's own window takes every request: a guide it cannot read
    // is the viewer's to report, inside the window, so the request as such
    // does not fail and leaves the error empty.
    m_viewer = [this](QWidget *, const QString &file, QString *) {
        showInWindow(file);
        return true;
    };
    m_messageBox = [](QWidget *parent, const QString &text, const QString &title, bool info) {
        QMessageBox box(info ? QMessageBox::Information : QMessageBox::NoIcon, title, text,
                        QMessageBox::Ok, parent);
        box.exec();
    };
}

QString Help::defaultHelpFile() {
    return QStringLiteral(TELKARO_HELP_FILE);
}

QString Help::resolve(const QString &helpFile) {
    if (QFileInfo(helpFile).isAbsolute())
        return helpFile;
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        programDir.filePath(helpFile),
        programDir.filePath(QStringLiteral("../share/telkaro/") + helpFile)};
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(candidates.front());
}

void Help::менюПомощь_Click() {
    if (m_helpFile.isEmpty()) {
        m_messageBox(m_owner, QStringLiteral("Не найден файл помощи TELKARO.HLP"),
                     m_owner ? m_owner->windowTitle() : QString(), true);
        return;
    }
    QString error;
    if (!m_viewer || !m_viewer(m_owner, resolve(m_helpFile), &error)) {
        if (error.isEmpty())
            error = QStringLiteral("Программа просмотра справки недоступна");
        m_messageBox(m_owner, error, QStringLiteral("TELKARO"), false);
    }
}

void Help::showInWindow(const QString &file) {
    if (!m_window) {
        m_window = new HelpWindow(m_owner);
        if (m_owner)
            m_window->move(m_owner->frameGeometry().topLeft() + QPoint(40, 40));
    }
    m_window->showGuide(file);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
