// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

bool УстановитьПереводыQt(QCoreApplication &app) {
    const QString beside = QCoreApplication::applicationDirPath();
    const QStringList folders = {beside + QStringLiteral("/translations"), beside,
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    bool base = false;
    for (const char *catalog : {"qtbase_ru", "qtserialport_ru"}) {
        auto *translator = new QTranslator(&app);
        bool loaded = false;
        for (const QString &folder : folders) {
            if (translator->load(QString::fromLatin1(catalog), folder)) {
                loaded = QCoreApplication::installTranslator(translator);
                break;
            }
        }
        if (!loaded)
            delete translator;
        else if (QLatin1String(catalog) == QLatin1String("qtbase_ru"))
            base = true;
    }
    if (!base) {
        // windeployqt merges Qt's catalogues into one, qt_ru.
        auto *translator = new QTranslator(&app);
        for (const QString &folder : folders) {
            if (translator->load(QStringLiteral("qt_ru"), folder)) {
                base = QCoreApplication::installTranslator(translator);
                break;
            }
        }
        if (!base)
            delete translator;
    }
    return base;
}
