// Live sources as the window uses them, through LiveMeter on its own thread: a fake meter on a
// pseudo-terminal (fakemeter.py) in each preset's format and misbehaving as meters and cables
// do, and a file another program appends to. Any warning fails (threads, timers, objects).
#include "live/livemeter.h"
#include "live/serialsource.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace live;

namespace {

// The fake's flask: 25 mL of 0.1 mol/L acetic acid (pKa 4.76) and 0.1 mol/L NaOH; the pH by
// hand, 1/2·(pKa − log C) at the start, pKa at half the end point.
constexpr double kStartPH = 2.88, kHalfwayPH = 4.76;

/// The fake meter, ended with the test.
struct Fake : QProcess
{
    explicit Fake(const QStringList& arguments)
    {
        start(QStandardPaths::findExecutable(QStringLiteral("python3")),
              QStringList{QStringLiteral(ACIDORA_SOURCE_DIR "/tests/live/fakemeter.py")} +
                  arguments);
    }
    ~Fake() override
    {
        kill();
        waitForFinished();
    }
    /// The path of the terminal it opens next; empty if none.
    QString path()
    {
        while (!canReadLine() && waitForReadyRead(10000)) {
        }
        return QString::fromUtf8(readLine()).trimmed();
    }
};

SourceChoice serial(const QString& preset, const QString& port)
{
    SourceChoice choice;
    choice.port = meter::presetNamed(preset.toStdString())->settings;
    choice.port.port = port.toStdString();
    choice.port.pollSeconds = 0.3; // the fake answers at once
    return choice;
}

MeterState lastState(const QSignalSpy& states)
{
    return states.isEmpty() ? MeterState::Connecting : states.last().at(0).value<MeterState>();
}

} // namespace

class TestLive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void meter_data();
    void meter();
    void trouble_data();
    void trouble();
    void pulledCable();
    void growingFile_data();
    void growingFile();
    void noPermission();
};

void TestLive::init()
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        QSKIP("the fake meter needs python3");
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TestLive::meter_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QStringList>("arguments"); ///< the fake's
    QTest::addColumn<bool>("garbage"); ///< lines to skip, beyond a first one cut at opening
    // clang-format off
    QTest::newRow("CR ends") << "generic" << QStringList{"--end", "cr"} << false;
    QTest::newRow("LF ends") << "generic" << QStringList{"--end", "lf"} << false;
    QTest::newRow("CR LF ends") << "generic" << QStringList{"--end", "crlf"} << false;
    QTest::newRow("lines in pieces") << "generic" << QStringList{"--split"} << false;
    QTest::newRow("EZO asked with R, *OK after each") << "ezo" << QStringList{"--format", "ezo", "--end", "cr", "--answer-only"} << false;
    QTest::newRow("Orion asked with GETMEAS: echo, record, prompt") << "orion" << QStringList{"--format", "orion", "--answer-only"} << false;
    QTest::newRow("Arduino text with a voltage first") << "arduino" << QStringList{"--format", "arduino"} << false;
    QTest::newRow("garbage between readings") << "generic" << QStringList{"--garbage"} << true;
    // clang-format on
}

void TestLive::meter()
{
    QFETCH(QString, preset);
    QFETCH(QStringList, arguments);
    QFETCH(bool, garbage);
    Fake fake(arguments);
    LiveMeter live(serial(preset, fake.path()));
    QSignalSpy readings(&live, &LiveMeter::reading), skipped(&live, &LiveMeter::skipped);
    live.start();
    QTRY_VERIFY_WITH_TIMEOUT(readings.size() >= 2, 10000);
    fake.write("12.5\n"); // half way to the end point: the meter follows
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(readings.last().at(1).toDouble() - kHalfwayPH) < 0.05, 10000);
    for (const QList<QVariant>& r : readings) {
        const double pH = r.at(1).toDouble();
        QVERIFY2(std::abs(pH - kStartPH) < 0.05 || std::abs(pH - kHalfwayPH) < 0.05,
                 qPrintable(QString::number(pH)));
    }
    const qint64 skips = skipped.isEmpty() ? 0 : skipped.last().at(0).toLongLong();
    QVERIFY2(garbage ? skips > 2 : skips <= 1, qPrintable(QString::number(skips)));
}

void TestLive::trouble_data()
{
    QTest::addColumn<QStringList>("arguments"); ///< the fake's
    QTest::addColumn<QString>("port");          ///< "fake": the fake's
    QTest::addColumn<MeterState>("state");
    QTest::addColumn<QString>("message"); ///< how it begins
    QTest::newRow("a meter falling silent")
        << QStringList{"--silent-after", "0.5"} << "fake" << MeterState::Silent
        << "The meter has sent nothing for 5 s (/dev/";
    // clang-format off
    QTest::newRow("a port that does not exist") << QStringList{} << "/dev/ttyACIDORA9" << MeterState::Failed << "There is no port /dev/ttyACIDORA9.";
    QTest::newRow("no port chosen") << QStringList{} << "" << MeterState::Failed << "No port is chosen";
    QTest::newRow("not a serial port") << QStringList{} << "/dev/null" << MeterState::Failed << "/dev/null cannot be opened as a serial port";
    // clang-format on
}

void TestLive::trouble()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, port);
    QFETCH(MeterState, state);
    QFETCH(QString, message);
    Fake fake(arguments);
    LiveMeter live(serial(QStringLiteral("generic"), port == "fake" ? fake.path() : port));
    QSignalSpy states(&live, &LiveMeter::stateChanged);
    live.start();
    QTRY_COMPARE_WITH_TIMEOUT(lastState(states), state, 10000);
    QVERIFY2(states.last().at(1).toString().startsWith(message),
             qPrintable(states.last().at(1).toString()));
}

void TestLive::pulledCable()
{
    // The meter's port is a link, as a udev rule names a meter; its terminal closes, and a new
    // one comes back under the same name.
    QTemporaryDir dir;
    Fake fake({"--close-after", "1", "--reopen-after", "0.5"});
    const QString link = dir.filePath(QStringLiteral("acidora-meter-%1").arg(fake.processId()));
    QVERIFY(QFile::link(fake.path(), link));
    LiveMeter live(serial(QStringLiteral("generic"), link));
    QSignalSpy readings(&live, &LiveMeter::reading), states(&live, &LiveMeter::stateChanged);
    live.start();
    QTRY_COMPARE_WITH_TIMEOUT(lastState(states), MeterState::Disconnected, 10000);
    const qsizetype before = readings.size();
    QVERIFY(before > 0 && QFile::remove(link) && QFile::link(fake.path(), link));
    QTRY_VERIFY_WITH_TIMEOUT(readings.size() > before + 1, 10000);
    QCOMPARE(lastState(states), MeterState::Receiving);
}

void TestLive::growingFile_data()
{
    QTest::addColumn<QByteArray>("before"); ///< in the file as the source starts: not live
    QTest::addColumn<QByteArray>("after");  ///< appended while it reads
    QTest::addColumn<QList<double>>("readings");
    QTest::newRow("started mid-line: its end is no reading")
        << QByteArray("1.00\n6.9") << QByteArray("9\n7.01\n7.02\r\n") << QList<double>{7.01, 7.02};
    QTest::newRow("started at a line's end: the next line counts")
        << QByteArray("1.00\n") << QByteArray("7.01\n7.02\r\n") << QList<double>{7.01, 7.02};
}

void TestLive::growingFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QList<double>, readings);
    QTemporaryDir dir;
    QFile log(dir.filePath(QStringLiteral("log.txt")));
    QVERIFY(log.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    log.write(before);
    SourceChoice choice;
    choice.kind = SourceChoice::Kind::File;
    choice.port.port = log.fileName().toStdString();
    LiveMeter live(choice);
    QSignalSpy got(&live, &LiveMeter::reading), states(&live, &LiveMeter::stateChanged);
    live.start();
    QTRY_VERIFY(!states.isEmpty());
    log.write(after.left(after.size() - 3)); // the last line in two writes
    log.write(after.right(3));
    QTRY_COMPARE(got.size(), readings.size());
    for (qsizetype i = 0; i < readings.size(); ++i)
        QCOMPARE(got.at(i).at(1).toDouble(), readings.at(i));
}

void TestLive::noPermission() // as root, which the tests may run as, no port refuses
{
    const QString why = openFailure("/dev/ttyUSB0", QSerialPort::PermissionError, "denied");
    QVERIFY2(why.contains("/dev/ttyUSB0") && why.contains("adduser $USER dialout"),
             qPrintable(why));
}

QTEST_GUILESS_MAIN(TestLive)
#include "tst_live.moc"
