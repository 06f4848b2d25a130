#include "app/picturebutton.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace app {

namespace {

/// What a screen reader sees of a picture button: a push button that can be pressed.
class AccessiblePictureButton : public QAccessibleWidget
{
public:
    explicit AccessiblePictureButton(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {}
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<PictureButton*>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("app::PictureButton") && object && object->isWidgetType())
        return new AccessiblePictureButton(static_cast<PictureButton*>(object));
    return nullptr;
}

/// Whether the user is working with the keyboard: the last key press came after the last mouse
/// press. Focus frames show only then, as on the desktop's own buttons, since a focus that
/// moves because a page was hidden after a click is no news to a mouse user.
class InputWatch : public QObject
{
public:
    bool keyboard = false;

    static InputWatch& instance()
    {
        static InputWatch* watch = [] {
            auto* w = new InputWatch(qApp);
            qApp->installEventFilter(w);
            return w;
        }();
        return *watch;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress) &&
            keyboard != (type == QEvent::KeyPress)) {
            keyboard = type == QEvent::KeyPress;
            if (auto* button = qobject_cast<PictureButton*>(QApplication::focusWidget()))
                button->update();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
};

} // namespace

PictureButton::PictureButton(QWidget* parent, const QString& name, const QString& resource,
                             QPoint rest, const QString& caption)
    : SvgPicture(parent, name, resource, QRect(rest, QSize(140, 24))), rest_(rest)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factoryInstalled);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus); // a click keeps the focus where the user is typing
    setAccessibleName(caption);
    InputWatch::instance();
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    move(rest_ + QPoint(1, 1));
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The press moved the button; the release position is relative to where it is now.
    const bool over = rect().contains(event->position().toPoint());
    move(rest_);
    event->accept();
    if (over)
        emit clicked(false);
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        click();
        return;
    }
    SvgPicture::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent* event)
{
    SvgPicture::paintEvent(event);
    if (!hasFocus() || !InputWatch::instance().keyboard)
        return; // the picture alone, as a mouse user knows it
    QPainter painter(this);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

} // namespace app
