#pragma once
// A desktop the tests control: a print service answering after the delays it is told and taking
// jobs into a file; a clipboard that can refuse; a file dialog and an opener answering as told;
// messages and opened addresses recorded instead of shown.
#include "app/platform.h"

#include <QFile>
#include <QImage>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

struct FakeDesktop : app::PrintSystem,
                     app::Clipboard,
                     app::MessageBoxes,
                     app::Opener,
                     app::FileDialogs
{
    QString printer = QStringLiteral("Q");     ///< the default queue
    int printerMs = 0, paperMs = 0, jobMs = 0; ///< printer -1: none installed
    std::optional<QMarginsF> margins;
    QString refusal, output; ///< the server's reason to refuse a job; where a job's PDF goes
    bool refuseClipboard = false, openerFails = false;
    QString clipboard, saveAs, suggested; ///< the dialog's answer; what it offered
    QString openName;                     ///< the open dialog's answer
    QImage picture;
    QStringList shown; ///< title, then text, of each message
    QList<QUrl> opened;
    mutable std::atomic<int> jobs = 0;
    mutable std::mutex mutex;
    mutable QString handedOver;
    app::Platform platform{*this, *this, *this, *this, *this};

    static void wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    std::optional<app::PrinterAnswer> query() const override
    {
        wait(std::max(printerMs, 0));
        return printerMs < 0 ? std::nullopt : std::optional(app::PrinterAnswer{printer, printer});
    }
    std::optional<app::PaperAnswer> paper(const QString&) const override
    {
        wait(paperMs);
        return app::PaperAnswer{QPageSize(QPageSize::A4), margins};
    }
    std::optional<QString> submit(const QString&, const QString& pdf, const QString&) const override
    {
        wait(jobMs);
        const std::lock_guard lock(mutex);
        handedOver = pdf;
        QFile::copy(pdf, output);
        ++jobs;
        return refusal.isEmpty() ? std::nullopt : std::optional(refusal);
    }
    bool setText(const QString& text) override
    {
        if (!refuseClipboard)
            clipboard = text;
        return !refuseClipboard;
    }
    bool setImage(const QImage& image) override
    {
        picture = image;
        return !refuseClipboard;
    }
    QString askSaveName(QWidget*, const QString&, const QString& offered,
                        const std::vector<app::FileFormat>&) override
    {
        suggested = offered;
        return saveAs;
    }
    QString askOpenName(QWidget*, const QString&, const QString&) override { return openName; }
    void show(QWidget*, Icon, const QString& title, const QString& text) override
    {
        shown << title << text;
    }
    QList<int> answers; ///< the buttons pressed in questions, in turn; then the last, Esc's
    int ask(QWidget*, const QString& title, const QString& text, const QStringList& b) override
    {
        shown << title << text;
        return answers.isEmpty() ? int(b.size()) - 1 : answers.takeFirst();
    }
    void open(const QUrl& target, QObject*, std::function<void(bool)> done) override
    {
        opened.append(target);
        done(!openerFails);
    }
};
