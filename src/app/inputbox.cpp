#include "app/inputbox.h"

#include "app/uihelpers.h"

#include <QKeyEvent>

namespace app {

InputBox::InputBox(QWidget* parent, const QString& name, QRect geometry) : QLineEdit(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setFont(arial(15, true));
    setFrame(false);
    setTextMargins(2, 0, 2, 0);
}

void InputBox::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QStringLiteral(",")) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QLineEdit::keyPressEvent(event);
    if (enter)
        emit confirmed();
}

void InputBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    home(false); // a name longer than the box shows its start, not its end
    emit confirmed();
}

} // namespace app
