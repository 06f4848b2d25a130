#pragma once

#include <QLineEdit>

namespace app {

/// One of the four input boxes. A typed comma arrives as a point, so numbers read alike
/// whatever the regional settings; Enter and leaving the box ask for a refresh.
class InputBox : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY(InputBox)

public:
    InputBox(QWidget* parent, const QString& name, QRect geometry);

signals:
    /// Enter was pressed, or the box lost the focus.
    void confirmed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace app
