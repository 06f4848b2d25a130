#pragma once
// Stand-ins for the desktop's services: a print service that accepts jobs into a PDF file,
// refuses them or never answers; a clipboard that can refuse; message boxes recorded instead
// of shown; an opener that records what it was asked to open and answers as told.

#include "app/platform.h"

#include <QFile>
#include <QMetaType>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <thread>

class FakePrintSystem : public app::PrintSystem
{
public:
    enum class Service { Accepts, Refuses, Silent };
    Service service = Service::Accepts;
    QStringList printers;
    QString defaultName;
    QString outputFile; ///< where an accepted job's PDF lands
    QPageSize pageSize{QPageSize::A4};
    mutable std::atomic<int> jobs = 0;

    std::optional<app::PrinterAnswer> query() const override
    {
        if (service == Service::Silent) {
            // Longer than any test waits; touches nothing of this object afterwards.
            std::this_thread::sleep_for(std::chrono::seconds(5));
            return std::nullopt;
        }
        if (printers.isEmpty())
            return std::nullopt;
        return app::PrinterAnswer{defaultName, printers.first(), pageSize};
    }
    std::optional<QString> submit(const QString&, const QString& pdf, const QString&) const override
    {
        ++jobs;
        if (service == Service::Refuses)
            return QStringLiteral("server-error-not-accepting-jobs");
        QFile::remove(outputFile);
        QFile::copy(pdf, outputFile);
        return std::nullopt;
    }
};

Q_DECLARE_METATYPE(FakePrintSystem::Service)

class FakeClipboard : public app::Clipboard
{
public:
    bool refuse = false;
    QString text;
    bool setText(const QString& t) override
    {
        if (refuse)
            return false;
        text = t;
        return true;
    }
};

class FakeMessageBoxes : public app::MessageBoxes
{
public:
    QStringList shown; ///< title, then text
    void show(QWidget*, Icon, const QString& title, const QString& text) override
    {
        shown << title << text;
    }
};

class FakeOpener : public app::Opener
{
public:
    bool fail = false;
    QList<QUrl> opened;
    void open(const QUrl& target, QObject*, std::function<void(bool)> done) override
    {
        opened.append(target);
        done(!fail);
    }
};

struct FakePlatform
{
    FakePrintSystem printers;
    FakeClipboard clipboard;
    FakeMessageBoxes messages;
    FakeOpener opener;
    app::Platform platform{printers, clipboard, messages, opener};
};
