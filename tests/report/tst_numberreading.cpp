// Reading the number an input box text begins with.
#include "report/numberreading.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace report;

class TestNumberReading : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
};

void TestNumberReading::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const double max = std::numeric_limits<double>::max();

    QTest::newRow("point") << "0.1" << 0.1;
    QTest::newRow("comma") << "0,1" << 0.1;
    QTest::newRow("point with blanks") << "  0.1  " << 0.1;
    QTest::newRow("exponent d") << "1d-1" << 0.1;
    QTest::newRow("as the input page suggests") << "2.7E-3" << 2.7e-3;
    QTest::newRow("decimal comma and exponent") << "2,7e-3" << 2.7e-3;
    QTest::newRow("blanks, tabs, line feeds inside") << "1 2\t3\n.5" << 123.5;
    QTest::newRow("carriage return ends it") << "12\r3" << 12.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("two commas") << "1,5,3" << 1.5;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "1e-x" << 1.0;
    QTest::newRow("minus") << "-5" << -5.0;
    QTest::newRow("minus then blank") << "- 5" << -5.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("exponent alone") << "E5" << 0.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0;
    QTest::newRow("& without base") << "&12" << 0.0;
    QTest::newRow("too large reads as the largest") << "1E400" << max;
    QTest::newRow("huge exponent text") << "1E99999999999999999999" << max;
    QTest::newRow("too small reads as 0") << "1E-400" << 0.0;
    QTest::newRow("too small and negative reads as 0, not -0") << "-33D-411" << 0.0;
    QTest::newRow("many digits then small exponent") << "123456E-330" << 0.0;
    QTest::newRow("minus zero") << "-0" << 0.0;
}

void TestNumberReading::reads()
{
    QFETCH(QString, text);
    QFETCH(double, expected);

    const double value = ReadNumber(text.toStdString());
    // Exact: the reading is the double nearest to the decimal text.
    QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
    QVERIFY(!std::signbit(value) || value != 0.0);
}

QTEST_APPLESS_MAIN(TestNumberReading)
#include "tst_numberreading.moc"
