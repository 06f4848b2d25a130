#pragma once
// The services of the desktop the window uses, each behind a small interface so that tests
// can stand in for them: printers, the clipboard, message boxes and the opener of documents
// and addresses.

#include "app/printsystem.h"

#include <QString>
#include <QUrl>

class QWidget;

namespace app {

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    /// Replaces the clipboard's content with plain text; false when it could not be set.
    virtual bool setText(const QString& text) = 0;
};

class QtClipboard : public Clipboard
{
public:
    bool setText(const QString& text) override;
};

class MessageBoxes
{
public:
    enum class Icon { None, Exclamation };
    virtual ~MessageBoxes() = default;
    /// A modal message with one OK button.
    virtual void show(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget* parent, Icon icon, const QString& title, const QString& text) override;
};

/// The desktop's opener of documents and addresses (PDF reader, browser, mail program).
class Opener
{
public:
    virtual ~Opener() = default;
    /// Hands `target` to the program the desktop associates with it; false when it could not.
    virtual bool open(const QUrl& target) = 0;
};

class QtOpener : public Opener
{
public:
    bool open(const QUrl& target) override;
};

struct Platform
{
    const PrintSystem& printers;
    Clipboard& clipboard;
    MessageBoxes& messages;
    Opener& opener;
};

} // namespace app
