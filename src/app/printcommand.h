#pragma once
// A Print button's command. It asks the print service which printer to use (for at most a
// second), draws the page into a temporary PDF with the page's usual drawing routine, hands the
// file to the service and says so when the service refuses it. The window's thread never waits
// on the service: both questions run on background threads that nobody waits for, so a server
// that never answers holds neither the window nor the end of the program.

#include "app/platform.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPushButton;
class QThreadPool;
class QTimer;

namespace app {

/// The threads of calls that may block on a service. It is never destroyed nor waited for.
QThreadPool& backgroundPool();
/// True while a background call has not returned: the program then ends without waiting.
bool backgroundCallsRunning();

class PrintCommand : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(PrintCommand)

public:
    struct Texts
    {
        QString noPrinter; ///< no printer installed, or no answer in time
        QString failed;    ///< the page could not be drawn or the service refused it
        QString jobTitle;  ///< the job's name in the print queue
    };
    /// Draws the page on the job's device; false when it could not.
    using Render = std::function<bool(QPagedPaintDevice&)>;

    static constexpr int kAnswerBoundMs = 1000;

    /// `button` stays disabled while the command runs, so impatient clicks make one job.
    PrintCommand(QPushButton* button, Platform& platform, Texts texts, Render render);

    /// The command; does nothing while an earlier one is still running.
    void start();
    bool busy() const { return busy_; }

signals:
    /// The command has ended, whatever its outcome.
    void finished();

private:
    void onAnswer(const std::optional<PrinterAnswer>& answer);
    void end(MessageBoxes::Icon icon, const QString& message);

    QPushButton* button_;
    Platform& platform_;
    Texts texts_;
    Render render_;
    QTimer* bound_;
    bool busy_ = false;
    /// Answers that come after the bound, or to an earlier click, are dropped by their number.
    int question_ = 0;
};

} // namespace app
