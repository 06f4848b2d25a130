// A meter's byte stream cut into lines, the pH a line reports, and when a reading has settled;
// on plain buffers, as a serial port or a pseudo-terminal would hand them over.
#include "meter/lines.h"
#include "meter/settle.h"

#include <QPointF>
#include <QTest>

#include <cmath>

using namespace meter;

class TestMeter : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void pick_data();
    void pick();
    void settle_data();
    void settle();
};

void TestMeter::framing_data()
{
    QTest::addColumn<QStringList>("reads"); ///< as the port delivers them
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("overlong");
    QTest::newRow("CR alone, as an EZO circuit ends them")
        << QStringList{"7.01\r7.02\r"} << QStringList{"7.01", "7.02"} << 0;
    QTest::newRow("CR LF split between two reads")
        << QStringList{"7.01\r", "\n7.02\r\n"} << QStringList{"7.01", "7.02"} << 0;
    QTest::newRow("LF, a line split between reads")
        << QStringList{"7.01\n7.0", "2\n", "7.0"} << QStringList{"7.01", "7.02"} << 0;
    QTest::newRow("blank lines kept for the parser to skip")
        << QStringList{"\r\n\n7.01\r\n"} << QStringList{"", "", "7.01"} << 0;
    QTest::newRow("noise running past the longest line, then a reading")
        << QStringList{QString(300, 'x'), "x\r\n7.01\r\n"} << QStringList{"7.01"} << 1;
}

void TestMeter::framing()
{
    QFETCH(QStringList, reads);
    QFETCH(QStringList, lines);
    QFETCH(int, overlong);
    LineFramer framer;
    QStringList got;
    for (const QString& read : reads)
        for (const std::string& line : framer.feed(read.toStdString()))
            got << QString::fromStdString(line);
    QCOMPARE(got, lines);
    QCOMPARE(int(framer.overlong()), overlong);
}

void TestMeter::pick_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<double>("pH");   ///< NaN: skipped
    QTest::addColumn<QString>("why"); ///< the reason a line is skipped or a pick refused
    const double skipped = NAN;
    // clang-format off
    QTest::newRow("a bare number") << QByteArray("7.012") << "1" << 7.012 << "";
    QTest::newRow("free text") << QByteArray("PH Value: 7.01") << "1" << 7.01 << "";
    QTest::newRow("the second number") << QByteArray("Voltage: 2.5 V  Value: 7.01 pH") << "2" << 7.01 << "";
    QTest::newRow("the last number") << QByteArray("Voltage:2.50    pH value:7.01") << "last" << 7.01 << "";
    QTest::newRow("by expression") << QByteArray("Voltage: 2.5 V  Value: 7.01 pH") << "Value: ([0-9.]+)" << 7.01 << "";
    QTest::newRow("numbers inside words do not count") << QByteArray("A211 pH,6.98pH,25.0 C") << "1" << 6.98 << "";
    QTest::newRow("a sign after a word is a dash") << QByteArray("CH-1 pH -0 7.5") << "3" << 7.5 << "";
    QTest::newRow("an echo") << QByteArray("*OK") << "1" << skipped << "no number";
    QTest::newRow("fewer numbers than picked") << QByteArray("7.01 25.0") << "3" << skipped << "no number 3";
    QTest::newRow("a control byte") << QByteArray("\x01" "7.01") << "1" << skipped << "not text";
    QTest::newRow("a DEL byte") << QByteArray("7.01\x7f") << "1" << skipped << "not text";
    QTest::newRow("a number beyond a double skipped") << QByteArray("1e999 7.01") << "1" << 7.01 << "";
    QTest::newRow("beyond an electrode's range") << QByteArray("15.20") << "1" << skipped << "a pH outside 0 to 14";
    QTest::newRow("below it") << QByteArray("-0.5") << "1" << skipped << "a pH outside 0 to 14";
    QTest::newRow("expression not matching") << QByteArray("PH: 7.01") << "Value: ([0-9.]+)" << skipped << "the expression does not match";
    QTest::newRow("a group of two numbers") << QByteArray("7.01 7.02") << "(.*)" << skipped << "the expression's group is not one number";
    QTest::newRow("pick 0") << QByteArray("7.01") << "0" << skipped << "the number to pick counts from 1";
    QTest::newRow("no group") << QByteArray("7.01") << "[0-9.]+" << skipped << "the expression needs a group, in brackets, around the pH";
    QTest::newRow("not an expression") << QByteArray("7.01") << "(7" << skipped << "'(7' is not a regular expression";
    // clang-format on
}

void TestMeter::pick()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, pick);
    QFETCH(double, pH);
    QFETCH(QString, why);
    const chem::Result<Pick> chosen = readPick(pick.toStdString());
    const chem::Result<double> read = chosen ? pHOfLine(line.toStdString(), *chosen.value)
                                             : chem::Result<double>::failed(chosen.failure);
    QCOMPARE(QString::fromStdString(read.failure), why);
    QCOMPARE(read.value.value_or(NAN), pH); // NaN compares equal to NaN in QCOMPARE
}

void TestMeter::settle_data()
{
    QTest::addColumn<QList<QPointF>>("readings"); ///< (s, pH)
    QTest::addColumn<double>("settledPH");        ///< NaN: still moving
    const auto steady = [](double from, double to, double pH, double wobble) {
        QList<QPointF> r;
        for (double t = from; t <= to + 1e-9; t += 1)
            r << QPointF(t, pH + (int(t) % 2 ? wobble : 0));
        return r;
    };
    QTest::newRow("within 0.02 for 5 s") << steady(0, 5, 7, 0.01) << 7.005;
    QTest::newRow("within 0.02 for 4 s only") << steady(0, 4, 7, 0.01) << double(NAN);
    QTest::newRow("wobbling 0.03") << steady(0, 8, 7, 0.03) << double(NAN);
    QTest::newRow("settled after the jump")
        << QList<QPointF>{{0, 5}, {1, 6.5}, {2, 6.9}} + steady(3, 8, 7, 0.01) << 7.005;
    QTest::newRow("time going back starts afresh")
        << steady(0, 6, 7, 0.01) + steady(2, 5, 7, 0.01) << double(NAN);
}

void TestMeter::settle()
{
    QFETCH(QList<QPointF>, readings);
    QFETCH(double, settledPH);
    SettleDetector detector; // 0.02 pH over 5 s
    for (const QPointF& r : readings)
        detector.add(r.x(), r.y());
    QCOMPARE(detector.settled(), !std::isnan(settledPH));
    QVERIFY(std::isnan(settledPH) ? !detector.settledPH()
                                  : std::abs(*detector.settledPH() - settledPH) < 1e-9);
}

QTEST_APPLESS_MAIN(TestMeter)
#include "tst_meter.moc"
