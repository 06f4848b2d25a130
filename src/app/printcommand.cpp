#include "app/printcommand.h"

#include "app/appinfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>
#include <mutex>
#include <set>

namespace app {

QThreadPool& backgroundPool()
{
    // Deliberately leaked: a destroyed pool would wait for its threads.
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(8);
        return p;
    }();
    return *pool;
}

bool backgroundCallsRunning()
{
    return backgroundPool().activeThreadCount() > 0;
}

namespace {

std::mutex jobFoldersMutex;
/// Leaked like the pool: a background call may still end after main() has returned.
std::set<QString>& jobFolders()
{
    static auto* folders = new std::set<QString>;
    return *folders;
}

/// A job's temporary folder, removed when the last call holding it is done, or by
/// removeJobFiles() when the program ends first.
class JobFolder
{
public:
    JobFolder()
    {
        const std::lock_guard lock(jobFoldersMutex);
        if (dir_.isValid())
            jobFolders().insert(dir_.path());
    }
    ~JobFolder()
    {
        const std::lock_guard lock(jobFoldersMutex);
        jobFolders().erase(dir_.path());
    }
    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;
    const QTemporaryDir& dir() const { return dir_; }

private:
    QTemporaryDir dir_;
};

/// Runs `work` on the background pool and hands its result to `then` on `context`'s thread,
/// unless `context` is gone by then.
template <class Work, class Then> void runInBackground(QObject* context, Work work, Then then)
{
    using Result = decltype(work());
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, context, [watcher, then] {
        then(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&backgroundPool(), std::move(work)));
}

} // namespace

void removeJobFiles()
{
    const std::lock_guard lock(jobFoldersMutex);
    for (const QString& folder : jobFolders())
        QDir(folder).removeRecursively();
}

PrintCommand::PrintCommand(QPushButton* button, Platform& platform, Texts texts, Render render)
    : QObject(button), button_(button), platform_(platform), texts_(std::move(texts)),
      render_(std::move(render)), bound_(new QTimer(this))
{
    bound_->setSingleShot(true);
    connect(bound_, &QTimer::timeout, this, &PrintCommand::onBound);
}

void PrintCommand::start()
{
    if (busy())
        return;
    if (sinceAccepted_.isValid() && sinceAccepted_.elapsed() < kRepeatGap.count()) {
        sinceAccepted_.start(); // a burst of clicks is one press, however long it lasts
        return;
    }
    button_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ask(Stage::Printer, bounds_.printer);
    runInBackground(
        this, [&printers = platform_.printers] { return printers.query(); },
        [this, question = question_](const std::optional<PrinterAnswer>& answer) {
            if (question == question_)
                onPrinter(answer);
        });
}

void PrintCommand::ask(Stage stage, std::chrono::milliseconds bound)
{
    stage_ = stage;
    ++question_;
    bound_->start(bound);
}

void PrintCommand::onBound()
{
    ++question_; // the answer, if it ever comes, is no longer awaited
    switch (stage_) {
    case Stage::Printer:
        end(MessageBoxes::Icon::None, texts_.noPrinter);
        break;
    case Stage::Paper: // a slow queue still prints, on the default paper
        onPaper(std::nullopt);
        break;
    case Stage::Job:
        end(MessageBoxes::Icon::Exclamation,
            texts_.failed + QLatin1Char('\n') + QtPrintSystem::noAnswerReason());
        break;
    case Stage::Idle:
        break;
    }
}

void PrintCommand::onPrinter(const std::optional<PrinterAnswer>& answer)
{
    bound_->stop();
    if (!answer) {
        end(MessageBoxes::Icon::None, texts_.noPrinter);
        return;
    }
    queue_ = answer->queue;
    ask(Stage::Paper, bounds_.paper);
    runInBackground(
        this, [&printers = platform_.printers, queue = queue_] { return printers.paper(queue); },
        [this, question = question_](const std::optional<PaperAnswer>& paper) {
            if (question == question_)
                onPaper(paper);
        });
}

void PrintCommand::onPaper(const std::optional<PaperAnswer>& paper)
{
    bound_->stop();
    // The file lives until the service has read it, however long that takes.
    auto folder = std::make_shared<JobFolder>();
    const QString file = folder->dir().filePath(QStringLiteral("job.pdf"));
    bool drawn = folder->dir().isValid();
    if (drawn) {
        // The same drawing as a saved PDF, on the queue's own paper and from the top-left of
        // its printable area; without word from the queue, on the writer's default page.
        QFile pdf(file);
        drawn = pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setTitle(texts_.jobTitle);
        writer.setCreator(kProgramName);
        if (paper && paper->size.isValid())
            writer.setPageSize(paper->size);
        if (paper && paper->unprintableMm)
            writer.setPageMargins(*paper->unprintableMm, QPageLayout::Millimeter);
        drawn = drawn && render_(writer);
    }
    if (!drawn) {
        end(MessageBoxes::Icon::Exclamation, texts_.failed);
        return;
    }
    ask(Stage::Job, bounds_.job);
    runInBackground(
        this,
        [&printers = platform_.printers, queue = queue_, file, title = texts_.jobTitle, folder] {
            return printers.submit(queue, file, title);
        },
        [this, question = question_](const std::optional<QString>& refusal) {
            if (question != question_)
                return;
            bound_->stop();
            if (refusal) {
                end(MessageBoxes::Icon::Exclamation, texts_.failed + QLatin1Char('\n') + *refusal);
            } else {
                sinceAccepted_.start();
                end(MessageBoxes::Icon::None, QString());
            }
        });
}

void PrintCommand::end(MessageBoxes::Icon icon, const QString& message)
{
    stage_ = Stage::Idle;
    QApplication::restoreOverrideCursor();
    if (!message.isEmpty())
        platform_.messages.show(button_->window(), icon, kProgramName, message);
    button_->setEnabled(true);
    emit finished();
}

} // namespace app
