// Acidora: with an action on the command line (or a meter to listen to or record from), runs it
// without a window; otherwise starts with the splash, which brings up the main window as it
// closes, with any inputs the command line gave already typed. The program ends when the main
// window closes.
#include "app/cli.h"
#include "app/formmain.h"
#include "app/formsplash.h"
#include "app/inputpage.h"
#include "app/livesetup.h"
#include "app/platform.h"
#include "app/printcommand.h"
#include "app/svgpicture.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

/// What Qt says while the window's application starts, held back: without a display its
/// platform plugin ends the program with a fatal message, which becomes one line of ours.
std::vector<std::tuple<QtMsgType, QByteArray, QString>> heldMessages;

void holdStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs("acidora: no display to show the window on; use --report, --csv, --json, "
                   "--chart or "
                   "--ph\n",
                   stderr);
        std::_Exit(1);
    }
    heldMessages.emplace_back(type, QByteArray(context.category), message);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << app::cli::argumentText(argv[i]);
    const app::cli::Request request = app::cli::parse(arguments);
    if (!request.options) {
        if (!request.usageError)
            return app::cli::written(std::cout, request.text.toStdString(), std::cerr) ? 0 : 1;
        std::cerr << "acidora: " << request.text.toStdString()
                  << "\nTry 'acidora --help' for more information.\n";
        return 2;
    }
    const app::cli::Options& options = *request.options;
    const bool liveWindow = options.meter && options.meter->inWindow() && !options.hasAction();
    if (!liveWindow && (options.hasAction() || options.meter || options.teach)) {
        const bool drawn = !options.charts.empty() || options.worksheet;
        if (!drawn && !options.meter)
            return app::cli::run(options, std::cout, std::cerr); // no Qt application needed
        // A closed standard input reads as an empty one, before a file or Qt's own descriptors
        // take its number and a recording reads volumes from them.
        if (options.meter && ::fcntl(STDIN_FILENO, F_GETFD) == -1)
            ::open("/dev/null", O_RDONLY);
        int programOnly = 1;
        std::unique_ptr<QCoreApplication> application;
        if (drawn) {
            // Fonts for the chart, but no display: the chart is drawn off screen, whatever Qt
            // options were given, and Qt's notes about the missing desktop stay out of a
            // script's standard error.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
            application = std::make_unique<QGuiApplication>(programOnly, argv);
        } else {
            application = std::make_unique<QCoreApplication>(programOnly, argv); // the meter's
        }
        if (options.worksheet)
            return app::cli::runWorksheet(options, std::cerr);
        return options.meter ? app::cli::runMeter(options, std::cout, std::cerr)
                             : app::cli::run(options, std::cout, std::cerr);
    }

    // Qt's own options in argv are QApplication's to take.
    const QtMessageHandler previous = qInstallMessageHandler(holdStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const auto& [type, category, message] : heldMessages)
        previous(type, QMessageLogContext(nullptr, 0, nullptr, category.constData()), message);
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
        const bool created = !main;
        if (created) {
            main = std::make_unique<app::FormMain>(platform);
            main->open(options.setup);
        }
        main->show();
        main->activateWindow();
        // Readings named on the command line open once, into the shown window, so that a
        // refusal's message has it as parent.
        if (created && !options.dataPath.isEmpty())
            main->openReadings(QFile::decodeName(options.dataPath), options.readOptions);
        if (created && liveWindow)
            main->startLive({options.meter->source,
                             options.meter->settleBand,
                             options.meter->settleSeconds,
                             {}});
        // A live run a crash or a closed window left off is offered once the window shows.
        if (created)
            QTimer::singleShot(0, main.get(), [&main] { main->offerUnfinishedRuns(); });
    });
    splash->show();
    const int status = application.exec();
    if (app::backgroundCallsRunning()) {
        // A print server that never answers holds a thread: end now rather than wait for it,
        // without leaving the job's temporary file behind.
        app::removeJobFiles();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
