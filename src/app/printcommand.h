#pragma once
// A Print button's command. It asks the print service which printer to use (for at most a
// second), then for that queue's paper and printable area (for at most two, else the default
// paper), draws the page into a temporary PDF with the page's usual drawing routine, hands the
// file to the service (for at most ten seconds) and says so when the service refuses it or
// stays silent. The window's thread never waits on the service: the questions run on
// background threads that nobody waits for, so a server that never answers holds neither the
// window nor the end of the program.

#include "app/platform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>
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
/// Removes the temporary files of print jobs still in the service's hands; for a program
/// that ends without waiting for those calls.
void removeJobFiles();

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

    /// How long each question may take: which printer, its paper, and the job itself.
    struct Bounds
    {
        std::chrono::milliseconds printer{1000};
        std::chrono::milliseconds paper{2000};
        std::chrono::milliseconds job{10000};
    };
    /// After an accepted job, presses that follow each other closer than this are one press.
    static constexpr std::chrono::milliseconds kRepeatGap{1000};

    /// `button` stays disabled while the command runs, so impatient clicks make one job.
    PrintCommand(QPushButton* button, Platform& platform, Texts texts, Render render);

    /// The command; does nothing while an earlier one is still running, or just after one
    /// was accepted.
    void start();
    bool busy() const { return stage_ != Stage::Idle; }
    void setBounds(Bounds bounds) { bounds_ = bounds; }

signals:
    /// The command has ended, whatever its outcome.
    void finished();

private:
    enum class Stage { Idle, Printer, Paper, Job };
    void ask(Stage stage, std::chrono::milliseconds bound);
    void onPrinter(const std::optional<PrinterAnswer>& answer);
    void onPaper(const std::optional<PaperAnswer>& paper);
    void onBound();
    void end(MessageBoxes::Icon icon, const QString& message);

    QPushButton* button_;
    Platform& platform_;
    Texts texts_;
    Render render_;
    Bounds bounds_;
    QTimer* bound_;
    Stage stage_ = Stage::Idle;
    QString queue_;
    /// Since the last accepted job, or the last press ignored after it.
    QElapsedTimer sinceAccepted_;
    /// Answers that come after their bound, or to an earlier click, are dropped by their number.
    int question_ = 0;
};

} // namespace app
