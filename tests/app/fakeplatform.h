#pragma once
// Stand-ins for the desktop's services: a print service that takes jobs into a PDF file,
// refuses them or never answers; a clipboard that can refuse; message boxes recorded instead
// of shown; an opener that records what it is asked to open and answers as told; a file dialog
// that answers as told.
#include "app/platform.h"

#include <QFile>
#include <QImage>
#include <QMetaType>
#include <QStringList>

#include <atomic>
#include <thread>

struct FakePrintSystem : app::PrintSystem
{
    enum class Service { Accepts, Refuses, Silent };
    Service service = Service::Accepts;
    QStringList printers;
    QString defaultName;
    QString outputFile;
    mutable std::atomic<int> jobs = 0;

    std::optional<app::PrinterAnswer> query() const override
    {
        if (service == Service::Silent) { // longer than any test waits; touches nothing after
            std::this_thread::sleep_for(std::chrono::seconds(5));
            return std::nullopt;
        }
        if (printers.isEmpty())
            return std::nullopt;
        return app::PrinterAnswer{defaultName, printers.first(), QPageSize(QPageSize::A4)};
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

struct FakePlatform : app::Clipboard, app::MessageBoxes, app::Opener, app::FileDialogs
{
    bool refuseClipboard = false, openerFails = false;
    QString clipboard;
    QImage picture;
    QString saveAs, filter, suggested; ///< the dialog's answer and chosen filter; what it offered
    QStringList shown;                 ///< title, then text, of each message
    QList<QUrl> opened;
    FakePrintSystem printers;
    app::Platform platform{printers, *this, *this, *this, *this};

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
    QString askSaveName(QWidget*, const QString&, const QString& offered, const QString&,
                        QString* chosen) override
    {
        suggested = offered;
        if (!filter.isEmpty())
            *chosen = filter;
        return saveAs;
    }
    void show(QWidget*, Icon, const QString& title, const QString& text) override
    {
        shown << title << text;
    }
    void open(const QUrl& target, QObject*, std::function<void(bool)> done) override
    {
        opened.append(target);
        done(!openerFails);
    }
};
