// A meter's byte stream cut into lines, the pH a line reports, when a reading has settled, a
// run at the bench, its autosave file and a simulated meter; on plain buffers, as a serial port
// or a pseudo-terminal would hand them over.
#include "meter/lines.h"
#include "meter/liverun.h"
#include "meter/presets.h"
#include "meter/runlog.h"
#include "meter/settle.h"
#include "meter/simulated.h"
#include "meter/stream.h"

#include <QPointF>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <fstream>
#include <sstream>

using namespace meter;

namespace {

// Volumes as kept; a pH is checked on its own.
QList<double> volumesOf(const std::vector<Reading>& readings)
{
    QList<double> volumes;
    for (const Reading& r : readings)
        volumes << r.volume;
    return volumes;
}

} // namespace

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
    void stream_data();
    void stream();
    void liveRun_data();
    void liveRun();
    void undo();
    void runLog();
    void simulatedMeter();
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

void TestMeter::stream_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<bool>("opened"); ///< the port opened just before, maybe mid-line
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<double>>("readings");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("replies");
    const QByteArray record = "A211 pH,X51906,3.04,ABCDE,12/07/26 01:41:35,---,CH-1,pH,6.92,pH,"
                              "-12.3,mV,25.0,C";
    // clang-format off
    QTest::newRow("EZO: a reading, then *OK") << "ezo" << false << QByteArray("9.560\r*OK\r") << QList<double>{9.56} << 0 << 1;
    QTest::newRow("EZO: rejected, restarted") << "ezo" << false << QByteArray("*ER\r*RE\r7.012\r") << QList<double>{7.012} << 0 << 2;
    QTest::newRow("EZO: opened mid-line") << "ezo" << true << QByteArray(".560\r7.012\r") << QList<double>{7.012} << 1 << 0;
    QTest::newRow("opened at a line end") << "generic" << true << QByteArray("\r\n7.01\r\n") << QList<double>{7.01} << 0 << 0;
    QTest::newRow("Orion: echo, record, prompt before the next echo")
        << "orion" << false << "GETMEAS         \r\n\r\n\r" + record + "\n\r\r>GETMEAS         \r\n"
        << QList<double>{6.92} << 0 << 2;
    QTest::newRow("Orion in mV mode: no pH") << "orion" << false << QByteArray(record).replace(",pH,6.92,pH,", ",mV,").append("\r\n") << QList<double>{} << 1 << 0;
    QTest::newRow("Arduino: a title, then the pH after a voltage")
        << "arduino" << false << QByteArray("pH meter experiment!\r\nVoltage:2.50    pH value: 7.01\r\n") << QList<double>{7.01} << 1 << 0;
    QTest::newRow("Arduino: other sketches") << "arduino" << false << QByteArray("pH= 7.01\r\ntemperature:25.0^C  pH:6.5\r\n") << QList<double>{7.01, 6.5} << 0 << 0;
    QTest::newRow("Arduino: a buffer's pH is no reading")
        << "arduino" << false << QByteArray(">>>Buffer Solution:7.0,Send EXITPH to Save and Exit<<<\r\n") << QList<double>{} << 1 << 0;
    QTest::newRow("garbage, a broken number") << "generic" << false << QByteArray("\x80\xff\x1b\r\n12.3.4 pH\r\n7.01\r\n") << QList<double>{7.01} << 2 << 0;
    QTest::newRow("overlong") << "generic" << false << QByteArray(300, '7') + "\r\n7.01\r\n" << QList<double>{7.01} << 1 << 0;
    // clang-format on
}

void TestMeter::stream()
{
    QFETCH(QString, preset);
    QFETCH(bool, opened);
    QFETCH(QByteArray, bytes);
    QFETCH(QList<double>, readings);
    const PortSettings& settings = presetNamed(preset.toStdString())->settings;
    MeterStream stream(settings.pick, settings.poll);
    if (opened)
        stream.restart(false);
    const std::vector<double> got = stream.feed(bytes.toStdString());
    QCOMPARE(QList<double>(got.begin(), got.end()), readings);
    QTEST(int(stream.skipped()), "skipped");
    QTEST(int(stream.replies()), "replies");
}

void TestMeter::liveRun_data()
{
    QTest::addColumn<int>("steadyFor");         ///< seconds of pH 7.00/7.01 before the volumes
    QTest::addColumn<QList<double>>("volumes"); ///< asked for in turn
    QTest::addColumn<bool>("fresh");
    QTest::addColumn<QString>("refusal"); ///< of the last volume
    QTest::addColumn<QList<double>>("keptAtOnce");
    QTest::addColumn<QList<double>>("keptLater"); ///< after 6 s more of it
    const QList<double> none;
    // clang-format off
    QTest::newRow("settled: kept at once") << 5 << QList<double>{1} << false << "" << QList<double>{1} << QList<double>{1};
    QTest::newRow("moving: kept once settled") << 2 << QList<double>{1} << false << "" << none << QList<double>{1};
    QTest::newRow("fresh: waits for a new settle") << 9 << QList<double>{1} << true << "" << none << QList<double>{1};
    QTest::newRow("the next after a keep settles anew") << 5 << QList<double>{1, 2} << false << "" << QList<double>{1} << QList<double>{1, 2};
    QTest::newRow("the same volume twice") << 5 << QList<double>{1, 1} << false << "" << QList<double>{1} << QList<double>{1, 1};
    QTest::newRow("one more while one waits") << 2 << QList<double>{1, 2} << false << "the reading at 1 mL still waits for the pH to settle" << none << QList<double>{1};
    QTest::newRow("below the last kept") << 5 << QList<double>{2, 1.5} << false << "the volume 1.5 mL is below the last one kept, 2 mL" << QList<double>{2} << QList<double>{2};
    QTest::newRow("below 0") << 5 << QList<double>{-0.1} << false << "the volume -0.1 mL is below 0" << none << none;
    QTest::newRow("over 10 L") << 5 << QList<double>{10000.5} << false << "the volume 10000.5 mL is over 10 L" << none << none;
    QTest::newRow("not a number") << 5 << QList<double>{NAN} << false << "the volume is not a number" << none << none;
    // clang-format on
}

void TestMeter::liveRun()
{
    QFETCH(int, steadyFor);
    QFETCH(QList<double>, volumes);
    QFETCH(bool, fresh);
    LiveRun run; // 0.02 pH over 5 s
    int t = 0;
    const auto steady = [&](int seconds) {
        for (const int end = t + seconds; t <= end; ++t)
            run.meterReading(t, 7.0 + (t % 2) * 0.01);
    };
    steady(steadyFor);
    QString refusal;
    for (const double volume : volumes)
        refusal = QString::fromStdString(run.keep(volume, fresh).failure);
    QTEST(refusal, "refusal");
    QTEST(volumesOf(run.kept()), "keptAtOnce");
    steady(6);
    QTEST(volumesOf(run.kept()), "keptLater");
    for (const Reading& r : run.kept())
        QVERIFY(std::abs(r.pH - 7.005) < 0.006);
    QVERIFY(!run.waiting());
}

void TestMeter::undo()
{
    LiveRun run(0.02, 1.0);
    for (int t = 0; t <= 6; ++t)
        if (run.meterReading(t, 7.0); t == 1 || t == 3)
            QVERIFY(run.keep(t * 2.0).value->has_value()); // 2 and 6 mL
    QCOMPARE(run.nextVolume(0.5), 6.5);
    QCOMPARE(run.undo(), (Reading{6, 7}));
    QCOMPARE(run.nextVolume(0.5), 2.5);
    QVERIFY(run.keep(3).value->has_value()); // below the volume undone
    QVERIFY(run.undo() && run.undo() && !run.undo());
    QCOMPARE(run.nextVolume(0.5), 0.0);
}

void TestMeter::runLog()
{
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString(), path = folder / "run.csv";
    const auto reread = [&] {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return readRun(text.str());
    };
    const RunHeader header{{"titrant", "0.1 mol/L NaOH"}, {"meter", "/dev/ttyUSB0"}};
    RunLog log, older, finished, empty;
    QVERIFY(older.start(folder / "older.csv", header) && older.append({0, 2.88}));
    QVERIFY(finished.start(folder / "finished.csv", header) && finished.append({0, 2.88}) &&
            finished.finish());
    QVERIFY(empty.start(folder / "empty.csv", header) && log.start(path, header));
    QVERIFY(RunLog().start(path, {}).failure.find("run.csv: File exists") != std::string::npos);
    for (const Reading r : {Reading{0, 2.88}, {5.05, 4.16}, {12.5, 4.7445}})
        QVERIFY(log.append(r));
    QVERIFY(log.rewrite({{0, 2.88}, {5.05, 4.16}}) && log.append({10, 4.76})); // 12.5 undone
    const std::vector<Reading> kept{{0, 2.88}, {5.05, 4.16}, {10, 4.76}};
    QVERIFY(reread().header == header && reread().readings == kept && !reread().finished);
    std::filesystem::last_write_time(folder / "older.csv",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(1));
    const std::vector<SavedRun> unfinished = unfinishedRuns(folder);
    QCOMPARE(unfinished.size(), std::size_t(2));
    QVERIFY(unfinished[0].path == path && unfinished[0].readings == kept);
    QCOMPARE(unfinished[1].path, folder / "older.csv");
    QVERIFY(unfinishedRuns(folder / "none").empty());
    RunLog resumed; // after a crash: the same file goes on
    QVERIFY(resumed.resume(path) && resumed.append({11, 5.0}) && resumed.finish());
    QVERIFY(reread().finished && reread().readings.size() == 4 && reread().header == header);
    QCOMPARE(readRun("1,7\r\nnan,7\n2,inf\n").readings, (std::vector<Reading>{{1, 7}}));
}

void TestMeter::simulatedMeter()
{
    const lab::Setup acetic{chem::TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, {}};
    const auto readings = [&](std::uint32_t seed) {
        SimulatedMeter meter(acetic, lab::BenchErrors{}, seed);
        meter.add(10, 0);
        QList<double> shown;
        for (double t = 0; t < 5; t += 0.5)
            shown << meter.read(t);
        return shown;
    };
    QCOMPARE(readings(7), readings(7));
    QVERIFY(readings(7) != readings(8));
    // An ideal bench but for the electrode's lag: from the start's pH, 1/2·(pKa − log C) = 2.87,
    // to pKa at half the end point, 4.74, by 1 − 1/e in its time constant.
    SimulatedMeter ideal(acetic, lab::BenchErrors{0, 1, 0, 0.001, 0.01, 0, 0}, 1, {1.0, 0});
    const chem::Result<double> flask = ideal.add(12.5, 10);
    QVERIFY(flask && std::abs(*flask.value - 4.74) < 0.01);
    QVERIFY(std::abs(ideal.read(10) - 2.87) < 0.01);
    QVERIFY(std::abs(ideal.read(11) - (4.74 - (4.74 - 2.87) / M_E)) < 0.01);
    QVERIFY(std::abs(ideal.read(20) - *flask.value) < 0.001);
}

QTEST_APPLESS_MAIN(TestMeter)
#include "tst_meter.moc"
