// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"
#include "core/qt_translations.h"
#include "frm_main.h"
#include "port_chooser.h"
#include "window_position.h"

#include "core/settings_store.h"
#include "link/port_choice.h"
#include "link/port_list.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <memory>

namespace {
void printText(const QString &text, std::FILE *stream) {
    // UTF-8, as on Linux; on Windows the program is a GUI program whose
    // output is seen only redirected, into a file or a pipe.
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// The command line, read before anything needs the window system.
CommandLine readCommandLine(int &argc, char **argv) {
    QCoreApplication core(argc, argv);
    installQtTranslations(core);
    return parseCommandLine(QCoreApplication::arguments());
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("TELKARO"));
    QCoreApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELKARO_VERSION));

    const CommandLine options = readCommandLine(argc, argv);
    switch (options.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        printText(options.text, stdout);
        return 0;
    case CommandLine::Action::ListPorts:
        printText(portListText(availablePorts()), stdout);
        return 0;
    case CommandLine::Action::PrintPort: {
        SettingsStore store;
        const PortChoice choice = choosePort(store, options.port);
        printText(choice.name + (choice.byDefault ? QStringLiteral("\ndefault\n")
                                                  : QStringLiteral("\nconfigured\n")),
                  stdout);
        return 0;
    }
    case CommandLine::Action::Error:
        printText(options.text, stderr);
        return commandLineErrorCode;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    installQtTranslations(app);
    // The program ends when the main window is unloaded, not when the last
    // window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    QString port = options.port;
    if (options.choosePort) {
        SettingsStore store;
        port = choosePortInDialog(store, choosePort(store, options.port).name);
        if (port.isEmpty())
            return 0; // cancelled: nothing changed, nothing started
    }

    const std::unique_ptr<frmMain> window = Main(port);
    return app.exec();
}
