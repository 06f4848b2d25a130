#pragma once
// The services of the desktop the window uses, each behind a small interface so that tests
// can stand in for them: printers, the clipboard, message boxes, the opener of documents and
// addresses, and the file dialog.

#include "app/printsystem.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <vector>

class QImage;
class QObject;
class QWidget;

namespace app {

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    /// Replaces the clipboard's content with plain text; false when it could not be set.
    virtual bool setText(const QString& text) = 0;
    /// Replaces the clipboard's content with a picture; false when it could not be set.
    virtual bool setImage(const QImage& image) = 0;
};

class QtClipboard : public Clipboard
{
public:
    bool setText(const QString& text) override;
    bool setImage(const QImage& image) override;
};

class MessageBoxes
{
public:
    enum class Icon { None, Exclamation };
    virtual ~MessageBoxes() = default;
    /// A modal message with one OK button.
    virtual void show(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    /// A modal question answered by one of `buttons`, the last of which Esc presses; returns
    /// the index of the button pressed.
    virtual int ask(QWidget* parent, const QString& title, const QString& text,
                    const QStringList& buttons) = 0;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget* parent, Icon icon, const QString& title, const QString& text) override;
    int ask(QWidget* parent, const QString& title, const QString& text,
            const QStringList& buttons) override;
};

/// The desktop's opener of documents and addresses (PDF reader, browser, mail program).
class Opener
{
public:
    virtual ~Opener() = default;
    /// Hands `target` to the program the desktop associates with it and, once the opener has
    /// answered, calls `done` with whether it succeeded, on `context`'s thread and only while
    /// `context` exists. Never waits for the answer itself.
    virtual void open(const QUrl& target, QObject* context, std::function<void(bool)> done) = 0;
};

/// Runs the desktop's opener program (xdg-open) and reads its exit status: starting it is not
/// enough, since it fails when no program can show the target.
class QtOpener : public Opener
{
public:
    explicit QtOpener(QString program = QStringLiteral("xdg-open")) : program_(std::move(program))
    {}
    void open(const QUrl& target, QObject* context, std::function<void(bool)> done) override;

private:
    QString program_;
};

/// A kind of file the user may save to.
struct FileFormat
{
    QString filter;    ///< as the dialog lists it: "PDF document (*.pdf)"
    QString extension; ///< "pdf"
};

/// The desktop's file dialog.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    /// Asks where to save, in one of `formats` (the first is offered first). "" when the user
    /// cancelled. The name returned ends in
    /// the extension of one of `formats`: a name typed without one gets the chosen filter's
    /// before the dialog asks whether an existing file may be replaced, so that question is
    /// always about the file that will be written.
    virtual QString askSaveName(QWidget* parent, const QString& caption, const QString& suggested,
                                const std::vector<FileFormat>& formats) = 0;
    /// Asks which existing file to open, with the dialog's `filter` ("Readings (*.csv)"). ""
    /// when the user cancelled, as a desktop without the dialog always answers.
    virtual QString askOpenName(QWidget*, const QString&, const QString&) { return {}; }
};

class QtFileDialogs : public FileDialogs
{
public:
    QString askSaveName(QWidget* parent, const QString& caption, const QString& suggested,
                        const std::vector<FileFormat>& formats) override;
    /// Starts in the folder of the last file opened, which the settings remember.
    QString askOpenName(QWidget* parent, const QString& caption, const QString& filter) override;
};

struct Platform
{
    const PrintSystem& printers;
    Clipboard& clipboard;
    MessageBoxes& messages;
    Opener& opener;
    FileDialogs& files;
};

} // namespace app
