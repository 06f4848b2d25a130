#pragma once
// The services of the desktop the window uses, each behind a small interface so that tests
// can stand in for them: printers, the clipboard and message boxes.

#include "app/printsystem.h"

#include <QString>

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

struct Platform
{
    const PrintSystem& printers;
    Clipboard& clipboard;
    MessageBoxes& messages;
};

} // namespace app
