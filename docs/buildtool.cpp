// Build-time helper: turns docs/manual.html into Manual_ACDR.pdf — with the indicator table
// taken from the program's own catalogue and screenshots of the real window — and renders the
// icon at the sizes a desktop wants.
//
//   acidora-buildtool manual <manual.html> <Manual_ACDR.pdf>
//   acidora-buildtool icon <icon.svg> <size> <icon.png>

#include "app/appinfo.h"
#include "app/formmain.h"
#include "app/platform.h"
#include "app/svgpicture.h"
#include "indicators/catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QRadioButton>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>

namespace {

/// A desktop with no printer and nothing to open: screenshots need none.
class Quiet : public app::PrintSystem,
              public app::Clipboard,
              public app::MessageBoxes,
              public app::Opener,
              public app::FileDialogs
{
public:
    std::optional<app::PrinterAnswer> query() const override { return std::nullopt; }
    std::optional<app::PaperAnswer> paper(const QString&) const override { return std::nullopt; }
    std::optional<QString> submit(const QString&, const QString&, const QString&) const override
    {
        return QString();
    }
    bool setText(const QString&) override { return true; }
    bool setImage(const QImage&) override { return true; }
    QString askSaveName(QWidget*, const QString&, const QString&,
                        const std::vector<app::FileFormat>&) override
    {
        return {};
    }
    void show(QWidget*, Icon, const QString&, const QString&) override {}
    void open(const QUrl&, QObject*, std::function<void(bool)> done) override { done(true); }
};

QString colourCell(indicators::Colour c, const std::string& name)
{
    const QString hex = QStringLiteral("#%1%2%3")
                            .arg(c & 0xff, 2, 16, QLatin1Char('0'))
                            .arg((c >> 8) & 0xff, 2, 16, QLatin1Char('0'))
                            .arg((c >> 16) & 0xff, 2, 16, QLatin1Char('0'));
    return QStringLiteral("<td><span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;"
                          "</span> %2</td>")
        .arg(hex, QString::fromStdString(name));
}

QString indicatorTable()
{
    indicators::IndicatorCatalogue catalogue;
    indicators::InicializarIndicadores(catalogue);
    QString html =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                       "<tr><th>No.</th><th>Indicator</th><th>pH range</th><th>Acid colour</th>"
                       "<th>Basic colour</th></tr>");
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const indicators::Indicator& i = catalogue.table[static_cast<std::size_t>(k)];
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3 &ndash; %4</td>%5%6</tr>")
                    .arg(k)
                    .arg(QString::fromStdString(i.name).toHtmlEscaped())
                    .arg(i.pHLow)
                    .arg(i.pHHigh)
                    .arg(colourCell(i.acidColour, i.acidColourName),
                         colourCell(i.basicColour, i.basicColourName));
    }
    return html + QStringLiteral("</table>");
}

void click(QWidget* button)
{
    QMetaObject::invokeMethod(button, "clicked", Q_ARG(bool, false));
}

/// The window with the weak-acid example typed in: its three pages, grabbed.
QList<std::pair<QString, QImage>> screenshots()
{
    Quiet quiet;
    app::Platform platform{quiet, quiet, quiet, quiet, quiet};
    app::FormMain window(platform);
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("Option1(1)"))->click();
    const std::pair<const char*, const char*> boxes[] = {
        {"TxCBur", "0.1"}, {"TxVErl", "25"}, {"TxCErl", "0.1"}, {"TxKaKb", "1.8E-5"}};
    for (const auto& [name, text] : boxes)
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    window.findChild<QComboBox*>(QStringLiteral("ComboIND"))->setCurrentIndex(4);
    QList<std::pair<QString, QImage>> shots;
    shots.append({QStringLiteral("input.png"), window.grab().toImage()});
    click(window.findChild<QWidget*>(QStringLiteral("Image4")));
    shots.append({QStringLiteral("table.png"), window.grab().toImage()});
    click(window.findChild<QWidget*>(QStringLiteral("Image5")));
    shots.append({QStringLiteral("curve.png"), window.grab().toImage()});
    return shots;
}

int manual(const QString& source, const QString& output)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return 1;
    }
    QString html = QString::fromUtf8(file.readAll());
    html.replace(QStringLiteral("{{INDICATOR_TABLE}}"), indicatorTable());
    html.replace(QStringLiteral("{{VERSION}}"),
                 QStringLiteral("%1.%2").arg(app::kVersionMajor).arg(app::kVersionMinor));

    QTextDocument document;
    for (const auto& [name, image] : screenshots())
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setHtml(html);

    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("Acidora user's manual"));
    writer.setCreator(QStringLiteral("Acidora"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    document.print(&writer);
    return 0;
}

int icon(const QString& svg, int size, const QString& output)
{
    return app::renderSvg(svg, QSize(size, size)).save(output) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("manual"))
        return manual(args[2], args[3]);
    if (args.size() == 5 && args[1] == QLatin1String("icon"))
        return icon(args[2], args[3].toInt(), args[4]);
    std::fprintf(stderr, "usage: acidora-buildtool manual <in.html> <out.pdf>\n"
                         "       acidora-buildtool icon <in.svg> <size> <out.png>\n");
    return 2;
}
