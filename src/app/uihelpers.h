#pragma once
// Small helpers for building the windows in code, with every position in pixels.

#include "indicators/catalogue.h"
#include "output/qtdrawingsurface.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace app {

/// Arial at a pixel size: sizes in points would move with the screen's dots per inch, and the
/// layout is fixed in pixels. 15 px is 11.25 pt at 96 dpi, 13 px 9.75 pt, 11 px 8.25 pt.
QFont arial(int pixelSize, bool bold = false);

/// Creates a plain-text label named `name`, at `geometry` (a zero size keeps the text's own
/// size). Plain text always: labels repeat what the user typed.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
                  const QFont& font, QColor colour = Qt::black);

/// A tool tip that shows `text` as it is, even where it looks like markup.
QString plainToolTip(const QString& text);

/// Gives a widget a plain background colour.
void setBackground(QWidget* widget, QColor colour);

using output::toQColor;

/// Where a window of `size` goes on a screen's `available` area: centred, but never with its
/// top-left corner off that area, so that a screen smaller than the window cuts off its right
/// and bottom edges rather than its title bar and its commands.
QPoint placeOnScreen(QRect available, QSize size);

/// "Copied", shown for a moment at a place on the screen, where the copy was asked for.
void showCopied(QWidget* widget, QPoint globalPosition);

} // namespace app
