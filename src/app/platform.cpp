#include "app/platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

namespace app {

bool QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear();
    clipboard->setText(text);
    // Another program may hold the clipboard; only what reads back counts as copied.
    return clipboard->text() == text;
}

void QtMessageBoxes::show(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace app
