// Acidora: starts with the splash, which brings up the main window as it closes; the program
// ends when the main window closes.
#include "app/formmain.h"
#include "app/formsplash.h"
#include "app/platform.h"
#include "app/printcommand.h"
#include "app/svgpicture.h"

#include <QApplication>
#include <QPointer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Acidora"));
    QApplication::setOrganizationName(QStringLiteral("Lumbrix Software"));
    QApplication::setWindowIcon(app::applicationIcon());

    app::QtPrintSystem printers;
    app::QtClipboard clipboard;
    app::QtMessageBoxes messages;
    app::QtOpener opener;
    app::QtFileDialogs files;
    app::Platform platform{printers, clipboard, messages, opener, files};
    std::unique_ptr<app::FormMain> main;

    auto* splash = new app::FormSplash(app::FormSplash::Role::Splash, platform);
    QObject::connect(splash, &app::FormSplash::closing, &application, [&] {
        if (!main)
            main = std::make_unique<app::FormMain>(platform);
        main->show();
        main->activateWindow();
    });
    splash->show();
    const int status = application.exec();
    if (app::backgroundCallsRunning()) {
        // A print server that never answers holds a thread: end now rather than wait for it.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
