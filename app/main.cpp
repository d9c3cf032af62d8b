// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"
#include "frm_main.h"
#include "port_chooser.h"
#include "qt_translations.h"
#include "settings.h"

#include "core/module1.h"
#include "core/settings_store.h"
#include "link/port_choice.h"
#include "link/port_list.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <memory>

namespace {
void напечатать(const QString &text, std::FILE *stream) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The command line, read before anything needs the window system.
CommandLine разобрать(int &argc, char **argv) {
    QCoreApplication core(argc, argv);
    УстановитьПереводыQt(core);
    return РазобратьКоманднуюСтроку(QCoreApplication::arguments());
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("TELKARO"));
    QCoreApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELKARO_VERSION));

    const CommandLine options = разобрать(argc, argv);
    switch (options.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        напечатать(options.text, stdout);
        return 0;
    case CommandLine::Action::ListPorts:
        напечатать(СписокПортов(НайденныеПорты()), stdout);
        return 0;
    case CommandLine::Action::PrintPort: {
        SettingsStore store;
        const PortChoice choice = choosePort(store, options.port);
        напечатать(choice.name + (choice.byDefault ? QStringLiteral("\ndefault\n")
                                                   : QStringLiteral("\nconfigured\n")),
                   stdout);
        return 0;
    }
    case CommandLine::Action::Error:
        напечатать(options.text, stderr);
        return КодОшибкиКоманднойСтроки;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    УстановитьПереводыQt(app);
    // The program ends when the main window is unloaded, not when the last
    // window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    QString port = options.port;
    if (options.choosePort) {
        SettingsStore store;
        port = ВыбратьПортДиалогом(store, choosePort(store, options.port).name);
        if (port.isEmpty())
            return 0; // cancelled: nothing changed, nothing started
    }

    Модуль1 module;
    std::unique_ptr<frmMain> window(Main(module, port));
    return app.exec();
}
