// The printed results page and the clipboard text, from what the results page shows.
#include "output/tableprintout.h"

#include <QTest>

using namespace output;

namespace {

std::array<ReportLine, 16> reportLines()
{
    const int tops[16] = {60,   555,  870,  1380, 1695, 2040, 2595, 2895,
                          3465, 3765, 4275, 4575, 5070, 5355, 5700, 6030};
    std::array<ReportLine, 16> lines;
    for (int i = 0; i < 16; ++i)
        lines[static_cast<std::size_t>(i)] = {"line " + std::to_string(i), i % 3 == 0, tops[i]};
    return lines;
}

/// The table of a run with `rows` rows after its heading.
std::string table(int rows)
{
    std::string t = "    Vol.    pH\r\n";
    for (int i = 0; i < rows; ++i)
        t += "   " + std::to_string(10 + i) + ".00    7.00\r\n";
    return t;
}

constexpr double kA4PrintableMm = 287.0;
constexpr double kLineMm = 4.4;

} // namespace

class TestTablePrintout : public QObject
{
    Q_OBJECT

private slots:
    void reportKeepsTheScreenArrangement();
    void tableLinesFourMillimetresApart();
    void longTableOnShortPageContinuesOverleaf();
};

void TestTablePrintout::reportKeepsTheScreenArrangement()
{
    const auto printed = tablePrintout(reportLines(), table(0), kA4PrintableMm, kLineMm);
    // 1/66 mm a twip, 5 mm down: the first and last report lines and the heading.
    QCOMPARE(printed[0].text, std::string("line 0"));
    QVERIFY(qAbs(printed[0].yMm - 5.91) < 0.005);
    QVERIFY(qAbs(printed[15].yMm - 96.36) < 0.005);
    QCOMPARE(printed[0].xMm, 12.0);
    QVERIFY(printed[3].bold && !printed[4].bold);
    QCOMPARE(printed[16].text, std::string(kTableHeading));
    QCOMPARE(printed[16].yMm, 105.0);
    QVERIFY(printed[16].bold);
}

void TestTablePrintout::tableLinesFourMillimetresApart()
{
    // The longest table a run writes: 39 rows and the heading, one A4 page.
    const auto printed = tablePrintout(reportLines(), table(39), kA4PrintableMm, kLineMm);
    QCOMPARE(printed.size(), std::size_t(17 + 40));
    for (std::size_t i = 17; i < printed.size(); ++i) {
        QCOMPARE(printed[i].page, 0);
        QCOMPARE(printed[i].xMm, 16.0);
        QCOMPARE(printed[i].yMm, 112.0 + 4.0 * static_cast<double>(i - 17));
        QVERIFY(printed[i].monospace && printed[i].bold);
    }
    QCOMPARE(printed[17].text, std::string("    Vol.    pH"));
}

void TestTablePrintout::longTableOnShortPageContinuesOverleaf()
{
    // US Letter's printable area ends near 266 mm; the 39-row table would run to 272 mm.
    const double letterMm = 266.0;
    const auto printed = tablePrintout(reportLines(), table(39), letterMm, kLineMm);
    QCOMPARE(printed.size(), std::size_t(17 + 40));
    int firstOverleaf = -1;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        QVERIFY2(printed[i].yMm + kLineMm <= letterMm, printed[i].text.c_str());
        if (printed[i].page == 1 && firstOverleaf < 0)
            firstOverleaf = static_cast<int>(i);
        if (i > 0)
            QVERIFY(printed[i].page >= printed[i - 1].page);
    }
    QVERIFY(firstOverleaf > 17);
    QCOMPARE(printed[static_cast<std::size_t>(firstOverleaf)].yMm, 5.0);
    QCOMPARE(printed.back().page, 1);
    QCOMPARE(printed.back().yMm - printed[printed.size() - 2].yMm, 4.0);
}

QTEST_APPLESS_MAIN(TestTablePrintout)
#include "tst_tableprintout.moc"
