#include "app/chartpage.h"

#include "app/uihelpers.h"
#include "output/writers.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace app {

ChartPage::ChartPage(QWidget* parent) : QWidget(parent), picture_(kSize, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Titration curve"));
    setFocusPolicy(Qt::TabFocus); // its menu and keys work from the keyboard too
    resize(kSize);
    picture_.fill(Qt::white);

    cmdPRINT_CUR_ = new QPushButton(QStringLiteral("Print"), this);
    cmdPRINT_CUR_->setObjectName(QStringLiteral("CmdPRINT_CUR"));
    cmdPRINT_CUR_->setGeometry(650, 453, 100, 24);
    cmdPRINT_CUR_->hide();
    label5_12_ = makeLabel(this, QStringLiteral("Label5(12)"), QStringLiteral("Titration type"),
                           output::kChartTitleLabel, arial(15, true), output::kChartLabelColour);
    label5_12_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label5_11_ = makeLabel(this, QStringLiteral("Label5(11)"), QStringLiteral("Strong base"),
                           output::kChartIndicatorLabel, arial(13), output::kChartLabelColour);
    label5_11_->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void ChartPage::Cls()
{
    setAccessibleDescription(QString());
    picture_.fill(Qt::white);
    update();
}

void ChartPage::draw(const chart::ChartInput& input)
{
    QPainter painter(&picture_);
    output::paintScreenChart(painter, input, palette().color(QPalette::WindowText), false);
    setAccessibleDescription(QString::fromStdString(chart::chartDescription(input)));
    painter.end();
    update();
}

void ChartPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

} // namespace app
