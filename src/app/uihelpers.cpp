#include "app/uihelpers.h"

#include <QLabel>
#include <QPalette>
#include <QTextDocument>
#include <QToolTip>

namespace app {

QFont arial(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
                  const QFont& font, QColor colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (geometry.size().isEmpty()) {
        label->adjustSize();
        label->move(geometry.topLeft());
    } else {
        label->setGeometry(geometry);
    }
    return label;
}

QString plainToolTip(const QString& text)
{
    // Tool tips guess at rich text; escaped text in a paragraph that keeps blanks is the plain
    // text itself.
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

void setBackground(QWidget* widget, QColor colour)
{
    QPalette palette = widget->palette();
    // Buttons fill with their Button role, most other widgets with Window.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPoint placeOnScreen(QRect available, QSize size)
{
    const QPoint centred = available.center() - QRect(QPoint(), size).center();
    return {std::max(centred.x(), available.left()), std::max(centred.y(), available.top())};
}

void showCopied(QWidget* widget, QPoint globalPosition)
{
    QToolTip::showText(globalPosition, QStringLiteral("Copied"), widget, QRect(), 1500);
}

} // namespace app
