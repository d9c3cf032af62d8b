#include "core/module1.h"
#include "frm_main.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TELKARO"));
    QApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QApplication::setApplicationVersion(QStringLiteral(TELKARO_VERSION));
    // The program ends when the main window is unloaded, not when the last
    // window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    Модуль1 module;
    std::unique_ptr<frmMain> window(Main(module));
    return app.exec();
}
