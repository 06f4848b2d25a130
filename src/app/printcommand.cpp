#include "app/printcommand.h"

#include "app/appinfo.h"

#include <QApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

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

PrintCommand::PrintCommand(QPushButton* button, Platform& platform, Texts texts, Render render)
    : QObject(button), button_(button), platform_(platform), texts_(std::move(texts)),
      render_(std::move(render)), bound_(new QTimer(this))
{
    bound_->setSingleShot(true);
    bound_->setInterval(kAnswerBoundMs);
    connect(bound_, &QTimer::timeout, this, [this] {
        ++question_; // the answer, if it ever comes, is no longer awaited
        end(MessageBoxes::Icon::None, texts_.noPrinter);
    });
}

void PrintCommand::start()
{
    if (busy_)
        return;
    busy_ = true;
    button_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int question = ++question_;
    bound_->start();
    runInBackground(
        this, [&printers = platform_.printers] { return printers.query(); },
        [this, question](const std::optional<PrinterAnswer>& answer) {
            if (question == question_)
                onAnswer(answer);
        });
}

void PrintCommand::onAnswer(const std::optional<PrinterAnswer>& answer)
{
    bound_->stop();
    if (!answer) {
        end(MessageBoxes::Icon::None, texts_.noPrinter);
        return;
    }
    // The file lives until the service has read it, however long that takes.
    auto folder = std::make_shared<QTemporaryDir>();
    const QString file = folder->filePath(QStringLiteral("job.pdf"));
    bool drawn = folder->isValid();
    if (drawn) {
        // The same drawing as a saved PDF, on the queue's own paper.
        QFile pdf(file);
        drawn = pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setTitle(texts_.jobTitle);
        writer.setCreator(kProgramName);
        if (answer->pageSize.isValid())
            writer.setPageSize(answer->pageSize);
        drawn = drawn && render_(writer);
    }
    if (!drawn) {
        end(MessageBoxes::Icon::Exclamation, texts_.failed);
        return;
    }
    runInBackground(
        this,
        [&printers = platform_.printers, queue = answer->queue, file, title = texts_.jobTitle,
         folder] { return printers.submit(queue, file, title); },
        [this](const std::optional<QString>& refusal) {
            if (refusal)
                end(MessageBoxes::Icon::Exclamation, texts_.failed + QLatin1Char('\n') + *refusal);
            else
                end(MessageBoxes::Icon::None, QString());
        });
}

void PrintCommand::end(MessageBoxes::Icon icon, const QString& message)
{
    QApplication::restoreOverrideCursor();
    if (!message.isEmpty())
        platform_.messages.show(button_->window(), icon, kProgramName, message);
    button_->setEnabled(true);
    busy_ = false;
    emit finished();
}

} // namespace app
