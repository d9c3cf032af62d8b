// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-assay, «ТЕЛКАРО Анализ»: a plate measured by its kit, and the
// kit's answer shown, printed and saved.
#include "assay_window.h"
#include "command_line.h"

#include "core/qt_translations.h"
#include "core/settings_store.h"
#include "link/port_choice.h"

#include <QApplication>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {
// The window is Russian, whatever the system's language: its own texts and
// Qt's.
void installTranslations(QCoreApplication &app) {
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/i18n/telkaro-assay_ru.qm")))
        QCoreApplication::installTranslator(own);
    installQtTranslations(app);
}

AssayCommandLine readCommandLine(int &argc, char **argv) {
    QCoreApplication core(argc, argv);
    installTranslations(core);
    return parseAssayCommandLine(QCoreApplication::arguments());
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("TELKARO"));
    QCoreApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELKARO_VERSION));

    // Read before anything needs the window system, so that --help and
    // --version work in a terminal without a display.
    const AssayCommandLine options = readCommandLine(argc, argv);
    switch (options.action) {
    case AssayCommandLine::Action::Help:
    case AssayCommandLine::Action::Version:
        std::fputs(options.text.toUtf8().constData(), stdout);
        return 0;
    case AssayCommandLine::Action::Error:
        std::fputs(options.text.toUtf8().constData(), stderr);
        return assayUsageErrorCode;
    case AssayCommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    installTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assaywin/images/telkaro-assay-48.png")));

    SettingsStore store;
    const PortChoice port = choosePort(store, options.port);
    AssayWindow window;
    window.show();
    // The window first, then the kits and the port: it is there at once.
    QTimer::singleShot(0, &window, [&] {
        window.start(port.name, port.byDefault, options.kit);
        if (!options.plate.isEmpty())
            window.openPlate(options.plate);
    });
    return app.exec();
}
