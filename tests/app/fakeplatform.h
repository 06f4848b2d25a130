#pragma once
// Stand-ins for the desktop's services: printers that print into PDF files, a clipboard that
// can refuse, message boxes that are recorded instead of shown, and an opener that records
// what it was asked to open.

#include "app/platform.h"

#include <QPageSize>
#include <QPrinter>
#include <QStringList>

class FakePrintSystem : public app::PrintSystem
{
public:
    QStringList printers;
    QString defaultName;
    QString outputFile; ///< where the PDF printer writes
    QPageSize pageSize{QPageSize::A4};

    bool hasPrinters() const override { return !printers.isEmpty(); }
    QString defaultPrinterName() const override { return defaultName; }
    std::unique_ptr<QPrinter> defaultPrinter() const override
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputFile);
        printer->setPageSize(pageSize);
        ++jobs;
        return printer;
    }
    mutable int jobs = 0;
};

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
    struct Message
    {
        Icon icon;
        QString title;
        QString text;
    };
    QList<Message> shown;
    void show(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        shown.append({icon, title, text});
    }
};

class FakeOpener : public app::Opener
{
public:
    bool fail = false;
    QList<QUrl> opened;
    bool open(const QUrl& target) override
    {
        opened.append(target);
        return !fail;
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
