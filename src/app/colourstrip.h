#pragma once

#include "indicators/catalogue.h"

#include <QImage>
#include <QWidget>

namespace app {

/// The pH colour strip of the indicator panel: pH 0 at its left edge, pH 14 at its right.
/// It keeps what was painted and shows it again whenever it is uncovered.
class ColourStrip : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ColourStrip)

public:
    ColourStrip(QWidget* parent, const QString& name, QRect geometry);

    /// Back to the empty strip.
    void clear();
    /// Every pixel column in the colour of the solution at the pH of its position.
    void paintIndicator(const indicators::IndicatorCatalogue& catalogue, int position);

    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace app
