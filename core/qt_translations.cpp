// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// Installs the catalogue from the first folder that has it.
bool installCatalog(QCoreApplication &app, const QString &catalog, const QStringList &folders) {
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(catalog, folder) && QCoreApplication::installTranslator(translator))
            return true;
    }
    delete translator;
    return false;
}
} // namespace

bool installQtTranslations(QCoreApplication &app) {
    const QString beside = QCoreApplication::applicationDirPath();
    const QStringList folders = {beside + QStringLiteral("/translations"), beside,
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    installCatalog(app, QStringLiteral("qtserialport_ru"), folders);
    // windeployqt merges Qt's catalogues into one, qt_ru.
    return installCatalog(app, QStringLiteral("qtbase_ru"), folders) ||
           installCatalog(app, QStringLiteral("qt_ru"), folders);
}
