// The command line: what it accepts and refuses, what it prints, and, through the real program,
// what needs a process of its own (no display, Qt's own options, files).
#include "app/cli.h"
#include "lab/setup.h"
#include "meter/runlog.h"
#include "teach/exercise.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace app;

static const QString kWeakAcid =
    "--titration weak-acid --titrant 0.1 --analyte 0.1 --analyte-volume 25 --ka 1.8E-5 ";

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void keepsFileNameBytes_data();
    void keepsFileNameBytes();
    void realProgram_data();
    void realProgram();
    void listensToMeter_data();
    void listensToMeter();
    void recordsSimulatedTitration();
    void worksheetBySeed();
    void quizAsJson();
    void recordsExercise();
};

void TestCli::answers_data()
{
    // Done (0: pieces of standard output, in order, split at '*'); refused inputs (1: the
    // reason, one line, '*' for any text on it); usage errors (2).
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    const QString strongAcid =
        "--titration strong-acid --titrant 0.1 --analyte 0.1 --analyte-volume ";
    const QString weakAcid = kWeakAcid + "--ph 12 ", weakBase = "--titration weak-base ";
    const QString acid = QString(kWeakAcid).remove("1.8E-5 ");
    // clang-format off
    QTest::newRow("report, LF") << "--report --indicator PHENOLPHTHALEIN " + kWeakAcid << 0 << "weak acid with strong base\n*Ka = 1.8E-5\n*phenolphthalein  [very appropriate]\n*\n    0.00    2.88\n";
    QTest::newRow("report, CR LF, CSV") << "--crlf --report --csv --indicator 4 " + kWeakAcid << 0 << "strong base\r\n*[very appropriate]\r\n*\r\nVolume (mL),pH\r\n0.00,2.88\r\n5.00,";
    QTest::newRow("curve") << "--csv --step 12,5 " + strongAcid + "25" << 0 << "Volume (mL),pH\r\n0,1.000\r\n12.5,1.477\r\n25,7.000\r\n37.5,12.301\r\n50,12.523\r\n";
    QTest::newRow("fluorescent, bare") << "--report --indicator Esculin " + kWeakAcid << 0 << "\n  (F) esculin  [inappropriate]\n";
    QTest::newRow("pH in full, Qt's options left") << "-platform offscreen -style=fusion -reverse -geometry 800x600+0+0 -display :1 --ph 12,5 --ph 0 " + kWeakAcid << 0 << "4.745476216797015\n2.8755037534976164\n";
    QTest::newRow("substances") << "--list-substances" << 0 << "phosphoric acid*H3PO4*acid  pKa 2.148 7.198 12.375  (*\nsodium carbonate*base  pKa 6.35 10.33  (CRC";
    QTest::newRow("phosphoric acid by formula: pH past pKa1, at the 2nd point") << acid + "H3PO4 --ph 12.5 --ph 50" << 0 << "2.28*\n9.669";
    QTest::newRow("JSON, weak base by Kb") << "--json --indicator 12 --titrant 0.1 --analyte 0.1 --analyte-volume 25 --kb 1E-5 " + weakBase << 0 << "\"pKa\": [9]}*{\"volume\": 25,*\"verdict\": \"very appropriate\"";
    QTest::newRow("measured data after the report") << "--report --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-lab.csv " + kWeakAcid << 0 << "   50.00   12.52\n\nMeasured data:\n  46 readings, from 0 to 40 mL\n  End point 1 (first derivative):  25 mL,*\n  End point 1 (Gran, before):  25.08 mL";
    QTest::newRow("measured data: a burette read to 0.1 mL") << "--report --volume-uncertainty 0.1 --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-lab.csv " + kWeakAcid << 0 << "    End point 1: 25 mL ± 0.28 (95 %): spacing 0.03, volume reading 0.28, scatter 0.01\n";
    QTest::newRow("a burette uncertainty of 2 mL") << "--report --volume-uncertainty 2 --data x.csv " + kWeakAcid << 2 << "--volume-uncertainty: '2' is not from 0 to 1 mL";
    QTest::newRow("measured data in the JSON") << "--json --fit PKA,offset --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-lab.csv " + kWeakAcid << 0 << "\"measured\": {*\"method\": \"gran\"*\"pKa\": [4.7*\"offset\": ";
    QTest::newRow("measured data as CSV") << "--csv --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-lab.csv " + kWeakAcid << 0 << "Volume (mL),pH,Fitted pH,Residual\r\n0,2.87,2.876,-0.006\r\n*\r\n40,12.36,12.363,-0.003\r\n\r\nEnd point,Method,Volume (mL),95% low (mL),95% high (mL),Analyte (mol/L)\r\n1,\"first derivative\",25,*\r\n1,\"Gran, before\",25.08,*\r\n\r\nFitted,Value,Standard error\r\nAnalyte (mol/L),0.1*\r\nRMS residual (pH),0.010,\r\n";
    QTest::newRow("activities: said under the report's title") << "--report --activity DAVIES " + kWeakAcid << 0 << "weak acid with strong base\n  Activities by the Davies equation (25 °C)*\n  Strong base concentration 0.1 mol/L.  pH = 12.89\n";
    QTest::newRow("activities in the JSON") << "--json --activity davies " + kWeakAcid << 0 << "\"titration\": \"weak-acid\",\n  \"activity\": \"davies\",";
    QTest::newRow("no activities in the JSON") << "--json " + kWeakAcid << 0 << "\"activity\": \"none\",";
    QTest::newRow("activities beyond the Davies range") << "--csv --activity davies --titration strong-acid --titrant 2 --analyte 2 --analyte-volume 25" << 1 << "the pH of the analyte could not be computed with activities (ionic strength up to 0.5 mol/L)";
    QTest::newRow("an unknown activity model") << "--activity foo" << 2 << "--activity: 'foo' is neither 'none' nor 'davies'";
    QTest::newRow("measured data and a curve") << "--csv --step 1 --data x.csv " + kWeakAcid << 2 << "--step and --data together";
    QTest::newRow("a data logger's run 2, its log merged") << "--json --run 2 --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-logger.csv " + kWeakAcid << 0 << "\"loggedReadings\": 403,";
    QTest::newRow("a run the file lacks") << "--report --run 3 --data " ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-logger.csv " + kWeakAcid << 1 << "*acetic-acid-logger.csv: no run 3 in the file (its runs: 1, 2)";
    QTest::newRow("columns: one given") << "--columns 2 --data x.csv " + kWeakAcid << 2 << "--columns: '2' is not two columns, each a number from 1 or a header's text: \"3,2\"";
    QTest::newRow("columns: column 0") << "--columns 0,2 --data x.csv " + kWeakAcid << 2 << "--columns: '0,2' is not two columns*";
    QTest::newRow("run: not a number") << "--run first --data x.csv " + kWeakAcid << 2 << "--run: 'first' is not a run's number, from 1";
    QTest::newRow("run without data") << "--run 2 --report " + kWeakAcid << 2 << "--run needs --data";
    QTest::newRow("readings refused") << "--report --data /dev/null " + kWeakAcid << 1 << "/dev/null: *";
    QTest::newRow("a family with a value refused") << "--chart /dev/null --series=ka\t1E-3\t7 " + kWeakAcid << 1 << "--series: ka 7: the Ka 7 is outside 1E-14 to 1, both excluded";
    QTest::newRow("a family's value misspelt") << "--chart /dev/null --series=ka\t1E-3abc " + kWeakAcid << 2 << "--series: ka: '1E-3abc' is not a number";
    QTest::newRow("a derivative without a chart") << "--derivative --report " + kWeakAcid << 2 << "--derivative needs --chart";
    QTest::newRow("a pKa fit for a strong acid") << "--fit pka --report --data x.csv " + strongAcid + "25" << 2 << "--fit pka does not apply to strong-acid, which has no pKa";
    QTest::newRow("a fit of what is not a parameter") << "--fit pka,slope --report --data x.csv " + kWeakAcid << 2 << "--fit: 'slope' is none of 'concentration', 'pka' and 'offset'";
    QTest::newRow("a fit without data") << "--fit pka " + kWeakAcid << 2 << "--fit needs --data";
    QTest::newRow("unknown name over two lines") << acid + "phosphoric\nacit --csv" << 1 << "'phosphoric acit' is not in the substance library (nearest: phosphoric acid, *)";
    QTest::newRow("base's name for an acid") << acid + "NH3 --csv" << 1 << "ammonia is a base, titrated with an acid";
    QTest::newRow("acid's name for a base") << "--csv --titrant 0.1 --analyte 0.1 --analyte-volume 25 --kb CH3COOH " + weakBase << 1 << "acetic acid is an acid, titrated with a base";
    QTest::newRow("pKb for an acid") << acid + "pKb;4.75 --csv" << 1 << "pKb belongs to a base; give an acid's pKa or Ka";
    QTest::newRow("Veq") << "--csv " + strongAcid + "4.99" << 1 << "the equivalence volume 4.99 mL is outside 5 to 300 mL";
    QTest::newRow("no Ka") << "--csv --titration weak-acid --titrant 0.1 --analyte 0.1 --analyte-volume 25" << 1 << "a weak acid needs --ka";
    QTest::newRow("no Kb") << "--csv --titrant 0.1 --analyte 0.1 --analyte-volume 25 " + weakBase << 1 << "a weak base needs --kb";
    QTest::newRow("no volume") << "--ph 1 --titration strong-base --titrant 0.1 --analyte 0.1" << 1 << "--analyte-volume is missing";
    QTest::newRow("no type") << "--csv --titrant 0.1" << 1 << "--titration is missing";
    QTest::newRow("too many rows") << "--csv --step 0.0005 " + strongAcid + "25" << 2 << "--step: a step of 0.0005 mL makes more than 100000 rows";
    QTest::newRow("unknown indicator") << "--indicator litmus2" << 2 << "unknown indicator 'litmus2' (see --list-indicators)";
    QTest::newRow("stray word") << "-style fusion stray -reverse" << 2 << "unexpected argument 'stray'";
    QTest::newRow("unit") << "--titrant 0.1M" << 2 << "--titrant: '0.1M' is not a number";
    QTest::newRow("power of ten") << "--ka 1.8x10-5" << 2 << "--ka: '1.8x10-5' is not a number";
    // The constant box reads a text as a number unless it begins with an ASCII letter; the command
    // line takes its texts for numbers by the same rule, and wants those in full.
    QTest::newRow("non-ASCII letter first: a number to the box") << acid + "é --csv" << 2 << "--ka: 'é' is neither a number nor a name from --list-substances";
    QTest::newRow("a name in Greek") << acid + "Φωσφορικό --csv" << 2 << "--ka: 'Φωσφορικό' is neither a number nor a name from --list-substances";
    QTest::newRow("Cyrillic а in pKa: a name to the box") << acid + "pKа\t4.76 --csv" << 1 << "'pKа 4.76' is not in the substance library (nearest: *)";
    QTest::newRow("empty") << "--analyte-volume=" << 2 << "--analyte-volume: '' is not a number";
    QTest::newRow("pH of nan") << weakAcid + "--ph nan" << 2 << "--ph: 'nan' is not a number";
    QTest::newRow("pH beyond the doubles") << weakAcid + "--ph 1e999" << 2 << "--ph: '1e999' is not a number";
    QTest::newRow("each chart written") << "--chart /dev/full --chart /dev/null " + kWeakAcid << 1 << "/dev/full: No space left on device";
    QTest::newRow("pH before") << weakAcid + "--ph -0,5" << 2 << "--ph: '-0,5' is below 0 mL";
    QTest::newRow("no chart name") << "--chart=" << 2 << "--chart needs a file name";
    QTest::newRow("chart to a device, no extension: PDF") << "--chart /dev/full " + kWeakAcid << 1 << "/dev/full: No space left on device";
    QTest::newRow("chart kind") << "--chart a.txt" << 2 << "--chart needs a .pdf, .svg or .png file: 'a.txt'";
    QTest::newRow("crlf alone") << "--csv --crlf" << 2 << "--crlf needs --report";
    QTest::newRow("Kb of an acid") << "--titration weak-acid --kb 1e-5" << 2 << "--kb does not apply to weak-acid; use --ka";
    QTest::newRow("Ka of a base") << weakBase + "--ka 1e-5" << 2 << "--ka does not apply to weak-base; use --kb";
    QTest::newRow("Ka of a strong acid") << "--ka 1e-5 --titration strong-acid" << 2 << "--ka does not apply to strong-acid";
    QTest::newRow("both constants") << "--ka 1e-5 --kb 1e-5" << 2 << "--ka and --kb together";
    QTest::newRow("JSON and another output") << "--json --ph 1" << 2 << "--json and --ph together";
    QTest::newRow("step alone") << "--step 1" << 2 << "--step needs --csv";
    QTest::newRow("explain a buffer") << "--explain 12,5 " + kWeakAcid << 0 << "After 12.5 mL of titrant: buffer region\n  Henderson–Hasselbalch equation: pH = pKa + log(n(A⁻)/n(HA)) = 4.74 + log(1.25/1.25) = 4.74\n  Approximate pH 4.74, exact pH 4.75, difference 0.00\n";
    QTest::newRow("explain a miss, JSON") << "--json --explain 24 " + acid + "pKa;3.13;4.76;6.40" << 0 << "{\"volume\": 24, \"region\": \"buffer\", \"proton\": 1, \"approximation\": *\"reason\": \"protons-overlap\", \"why\": \"Two protons overlap: *\"}\n";
    QTest::newRow("explain beyond the curve") << "--explain 50.5 " + kWeakAcid << 1 << "--explain: the volume 50.5 mL is beyond the curve, which ends at 50 mL";
    QTest::newRow("explain twice") << "--explain 1 --explain 2" << 2 << "--explain takes one volume";
    QTest::newRow("explain and the report") << "--report --explain 1" << 2 << "--explain and --report together";
    QTest::newRow("step 0") << "--csv --step 0" << 2 << "--step: '0' is not a step above 0 mL";
    QTest::newRow("a preset without a meter") << "--preset ezo --report " + kWeakAcid << 2 << "--preset needs --meter";
    QTest::newRow("a meter for the window, with a report") << "--meter /dev/ttyUSB0 --report" << 2 << "--report and --meter need --record";
    QTest::newRow("listening and recording") << "--meter simulated --listen 2 --record f.csv" << 2 << "--listen and --record together";
    QTest::newRow("listening with a report") << "--meter simulated --listen 2 --report" << 2 << "--listen and --report together";
    QTest::newRow("recording beside readings") << "--meter simulated --record f.csv --data x.csv" << 2 << "--record and --data together";
    QTest::newRow("settle without seconds") << "--meter simulated --record f.csv --settle 0.02" << 2 << "--settle: '0.02' is not a pH band and seconds, each above 0, a comma between: \"0.02,5\"";
    QTest::newRow("settle of no time") << "--meter simulated --record f.csv --settle 0.02,0" << 2 << "--settle: '0.02,0' is not*";
    QTest::newRow("baud not whole") << "--meter /dev/ttyUSB0 --listen 2 --baud 9600.5" << 2 << "--baud: '9600.5' is not a whole number of baud above 0";
    QTest::newRow("baud 0") << "--meter /dev/ttyUSB0 --listen 2 --baud 0" << 2 << "--baud: '0' is not*";
    QTest::newRow("unknown preset") << "--meter /dev/ttyUSB0 --listen 2 --preset hanna" << 2 << "--preset: unknown meter 'hanna' (ezo, orion, arduino, generic)";
    QTest::newRow("pick counts from 1") << "--meter /dev/ttyUSB0 --listen 2 --pick 0" << 2 << "--pick: the number to pick counts from 1";
    QTest::newRow("a port's setting for a simulated meter") << "--meter simulated --listen 2 --baud 9600" << 2 << "--baud does not apply to a simulated meter";
    QTest::newRow("a seed for a port") << "--meter /dev/ttyUSB0 --listen 2 --seed 3" << 2 << "--seed needs --meter simulated";
    QTest::newRow("exercise: the key as JSON") << "--exercise 7 --answers --json" << 0 << "{\"substance\": \"*\", \"concentration\": 0.*, \"titration\": \"weak-*\"}\n";
    QTest::newRow("exercise: the brief") << "--exercise 7" << 0 << "Exercise 7: find the unknown\n  In the flask: 25 mL of an unknown weak *\n  In the burette: 0.1 mol/L ";
    QTest::newRow("quiz with its key") << "--quiz 2 --seed 9 --answers" << 0 << "1. 25 mL of *?\n   Answer: *\n2. 25 mL of *?\n   Answer: ";
    QTest::newRow("quiz of 51") << "--quiz 51" << 2 << "--quiz: '51' is not a number of questions from 1 to 50";
    QTest::newRow("exercise of a negative seed") << "--exercise -1" << 2 << "--exercise: '-1' is not a whole number from 0 to 4294967295";
    QTest::newRow("answers to nothing") << "--answers --report" << 2 << "--answers needs --exercise or --quiz";
    QTest::newRow("exercise and a report") << "--exercise 1 --report" << 2 << "--exercise and --report together";
    QTest::newRow("quiz on a meter") << "--quiz 3 --meter simulated --record f" << 2 << "--quiz and --meter together";
    QTest::newRow("exercise with its titrant changed") << "--exercise 1 --meter simulated --record f --titrant 0.2" << 2 << "--exercise and --titrant together";
    QTest::newRow("a seed for nothing") << "--seed 3" << 2 << "--seed needs --meter simulated or --quiz";
    QTest::newRow("listening for no time") << "--meter simulated --listen 0" << 2 << "--listen: '0' is not from 0 to 86400 s";
    QTest::newRow("worksheet of 31 problems") << "--worksheet 31 --seed 1 --output a.pdf" << 2 << "--worksheet: '31' is not a number of problems from 1 to 30";
    QTest::newRow("worksheet without a seed") << "--worksheet 3 --output a.pdf" << 2 << "--worksheet needs --seed";
    QTest::newRow("worksheet's seed not whole") << "--worksheet 3 --seed 1.5 --output a.pdf" << 2 << "--seed: '1.5' is not a whole number from 0 to 4294967295";
    QTest::newRow("worksheet as text") << "--worksheet 3 --seed 1 --output a.txt" << 2 << "--output needs a .pdf file: 'a.txt'";
    QTest::newRow("worksheet and a titration") << "--worksheet 3 --seed 1 --output a.pdf " + kWeakAcid << 2 << "--worksheet and --titration together";
    QTest::newRow("output alone") << "--output a.pdf" << 2 << "--output needs --worksheet";
    // clang-format on
}

void TestCli::answers()
{
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, expected);
    const cli::Request request =
        cli::parse(QStringList{"acidora"} + arguments.split(' ', Qt::SkipEmptyParts));
    std::ostringstream out, err;
    QCOMPARE(request.options ? cli::run(*request.options, out, err) : 2 * request.usageError,
             status);
    const QString said = QString::fromStdString(request.options ? out.str() + err.str()
                                                                : request.text.toStdString());
    // A refusal: one line ('*' for any text on it) on standard error, nothing on standard output.
    const QString line = err.str().empty() ? expected : "acidora: " + expected + '\n';
    const QRegularExpression whole(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(line).replace("\\*", "[^\n]*")));
    QVERIFY2(status == 0 || whole.match(said).hasMatch(), qPrintable(said));
    if (status == 0 && arguments.contains("--json"))
        QVERIFY(QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).isObject());
    qsizetype at = 0;
    for (const QString& piece : expected.split('*'))
        QVERIFY2((at = said.indexOf(piece, at)) >= 0, qPrintable(said));
}

void TestCli::keepsFileNameBytes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("not UTF-8") << QByteArray("\xff\xfe.pdf");
    QTest::newRow("UTF-8") << QByteArray("\xc3\xa9.PNG");
}

void TestCli::keepsFileNameBytes()
{
    QFETCH(QByteArray, name);
    const cli::Request r = cli::parse({"acidora", "--chart", cli::argumentText(name.constData())});
    QVERIFY(r.options);
    QCOMPARE(r.options->charts.at(0).path, name);
}

void TestCli::realProgram_data()
{
    // The environment, the arguments; the exit status (-1: still running, the window open) and
    // standard error, or the start of the file written.
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("said");
    const QStringList none{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
    const QByteArray noDisplay = "acidora: no display to show the window on; use --report, "
                                 "--csv, --json, --chart or --ph\n";
    const QString chart = kWeakAcid + "--indicator 4 --chart ";
    QTest::newRow("pdf") << none << chart + "curve.pdf" << 0 << QByteArray("%PDF");
    QTest::newRow("no display") << none << kWeakAcid << 1 << noDisplay;
    QTest::newRow("display unreachable")
        << none + QStringList{"DISPLAY=:99999"} << "" << 1 << noDisplay;
    QTest::newRow("report to a full device")
        << none << kWeakAcid + "--report >/dev/full" << 1
        << QByteArray("acidora: standard output: No space left on device\n");
    QTest::newRow("list to a full device")
        << none << "--list-substances >/dev/full" << 1
        << QByteArray("acidora: standard output: No space left on device\n");
    QTest::newRow("-platform taken") << none << "-platform offscreen" << -1 << QByteArray();
    QTest::newRow("worksheet") << none << "--worksheet 2 --seed 3 --output sheet.pdf" << 0
                               << QByteArray("%PDF");
    QTest::newRow("worksheet to a full device")
        << none << "--output /dev/full --worksheet 1 --seed 3" << 1
        << QByteArray("acidora: /dev/full: No space left on device\n");
    QTest::newRow("a meter's port missing")
        << none << "--meter /dev/nonexistent-tty --listen 5" << 1
        << QByteArray("acidora: There is no port /dev/nonexistent-tty. Is the meter plugged in?\n");
}

void TestCli::realProgram()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, said);
    QTemporaryDir dir;
    QProcess program;
    program.setWorkingDirectory(dir.path());
    if (arguments.endsWith(" >/dev/full")) {
        program.setStandardOutputFile("/dev/full");
        arguments.chop(10);
    }
    program.start("env", environment + QStringList{ACIDORA_PROGRAM} +
                             arguments.split(' ', Qt::SkipEmptyParts));
    QVERIFY(program.waitForStarted());
    if (status < 0) {
        QVERIFY2(!program.waitForFinished(2000), program.readAllStandardError());
        program.kill();
        program.waitForFinished();
        return;
    }
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), status);
    QFile file(dir.filePath(arguments.section(' ', -1)));
    QCOMPARE(status == 0 && file.open(QIODevice::ReadOnly) ? file.read(said.size())
                                                           : program.readAllStandardError(),
             said);
}

void TestCli::listensToMeter_data()
{
    // The fake meter's format and misbehaviour (tests/live/fakemeter.py); the preset; whether
    // readings come. Its flask holds 0.1 mol/L acetic acid: pH 2.88.
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<int>("status");
    QTest::newRow("one number a line, LF") << QStringList{"--end", "lf"} << "generic" << 0;
    QTest::newRow("EZO, CR, asked with R")
        << QStringList{"--format", "ezo", "--end", "cr", "--answer-only"} << "ezo" << 0;
    QTest::newRow("Orion, GETMEAS echoed")
        << QStringList{"--format", "orion", "--answer-only"} << "orion" << 0;
    QTest::newRow("Arduino, a voltage first")
        << QStringList{"--format", "arduino"} << "arduino" << 0;
    QTest::newRow("silent") << QStringList{"--silent-after", "0"} << "generic" << 1;
}

void TestCli::listensToMeter()
{
    QFETCH(QStringList, fake);
    QFETCH(QString, preset);
    QFETCH(int, status);
    QProcess meter, program;
    meter.start("python3", QStringList{ACIDORA_SOURCE_DIR "/tests/live/fakemeter.py"} + fake);
    QVERIFY(meter.waitForReadyRead(5000));
    const QString port = QString::fromUtf8(meter.readLine()).trimmed();
    program.start(ACIDORA_PROGRAM, {"--meter", port, "--preset", preset, "--listen", "1.5"});
    QVERIFY(program.waitForFinished(10000));
    meter.kill();
    meter.waitForFinished();
    QCOMPARE(program.exitCode(), status);
    const QStringList lines =
        QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.isEmpty(), status != 0);
    const QRegularExpression reading(R"(^\d+\.\d s  pH (\d+\.\d\d\d?)$)");
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = reading.match(line);
        QVERIFY2(match.hasMatch() && std::abs(match.captured(1).toDouble() - 2.88) < 0.02,
                 qPrintable(line));
    }
}

void TestCli::recordsSimulatedTitration()
{
    // Volumes either side of the jump, none on it, where a burette's error moves the pH by a
    // unit; the electrode's seed 2 keeps its offset and slope within 0.1 pH of the model's.
    const QList<double> volumes{0, 10, 20, 23, 24, 24.5, 25.5, 26, 27, 30};
    QTemporaryDir dir;
    const QString file = dir.filePath("run.csv");
    QProcess program;
    program.start(ACIDORA_PROGRAM, (kWeakAcid + "--meter simulated --seed 2 --lag 0 --record " +
                                    file + " --settle 0.05,0.5 --report")
                                       .split(' ', Qt::SkipEmptyParts));
    for (const double v : volumes)
        program.write(QByteArray::number(v) + '\n');
    program.write("20 mL\n");
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    const QString said = program.readAllStandardOutput();
    QVERIFY2(said.startsWith("0 mL  pH 2.") && said.contains("\n30 mL  pH 11.") &&
                 said.contains("End point 1 (first derivative):  2"),
             qPrintable(said));
    QCOMPARE(program.readAllStandardError(),
             "acidora: line 11: '20 mL' is not a volume in mL; skipped\n");
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const meter::SavedRun run = meter::readRun(saved.readAll().toStdString());
    QVERIFY(run.finished);
    QCOMPARE(run.readings.size(), std::size_t(volumes.size()));
    // The meter reads activities: the model with them.
    const lab::Setup truth{chem::TitrationType::WeakAcidStrongBase,
                           {0.1, 0.1, 25, 1.8e-5},
                           std::nullopt,
                           chem::ActivityModel::Davies};
    for (std::size_t i = 0; i < run.readings.size(); ++i) {
        QCOMPARE(run.readings[i].volume, volumes[qsizetype(i)]);
        QVERIFY2(std::abs(run.readings[i].pH - truth.model()->pH(volumes[qsizetype(i)]).value) <
                     0.15,
                 qPrintable(QString::number(volumes[qsizetype(i)])));
    }
}

void TestCli::worksheetBySeed()
{
    // The same seed, the same problems word for word; another seed, others; all four types;
    // an answer to each question.
    const auto text = [](std::uint32_t seed) {
        std::string all;
        for (const output::WorksheetProblem& p : cli::worksheetProblems(30, seed)) {
            all += p.title + '\n';
            for (const auto* lines : {&p.given, &p.questions, &p.answers})
                for (const std::string& line : *lines)
                    all += line + '\n';
        }
        return QString::fromStdString(all);
    };
    QCOMPARE(text(7), text(7));
    QVERIFY(text(7) != text(8));
    for (const output::WorksheetProblem& p : cli::worksheetProblems(30, 7))
        QCOMPARE(p.answers.size(), p.questions.size());
    for (const char* type :
         {": strong acid with", ": weak acid with", ": strong base with", ": weak base with"})
        QVERIFY2(text(7).contains(QLatin1String(type)), type);
}

void TestCli::quizAsJson()
{
    std::string first;
    for (const int pass : {1, 2}) {
        const cli::Request r = cli::parse({"acidora", "--quiz", "4", "--seed", "11", "--json"});
        std::ostringstream out, err;
        QCOMPARE(cli::run(*r.options, out, err), 0);
        if (pass == 2)
            QCOMPARE(out.str(), first); // the same seed, the same questions
        first = out.str();
    }
    const QJsonArray quiz = QJsonDocument::fromJson(QByteArray::fromStdString(first)).array();
    QCOMPARE(quiz.size(), 4);
    for (const QJsonValue q : quiz)
        QVERIFY(q["question"].toString().endsWith('?') && !q["answer"].toString().isEmpty());
}

void TestCli::recordsExercise()
{
    // The unknown (dimethylamine, pH 11.72 alone) is in the meter's flask; the report on the
    // readings knows only what the student does (0.1 mol/L and Kb 1E-5 to start from: pH 11).
    const teach::Exercise e = *teach::makeExercise(5);
    QTemporaryDir dir;
    QProcess program;
    program.start(ACIDORA_PROGRAM,
                  {"--meter", "simulated", "--exercise", "5", "--seed", "2", "--lag", "0",
                   "--settle", "0.05,0.3", "--record", dir.filePath("run.csv"), "--report"});
    program.write("0\n5\n10\n15\n20\n");
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    const QString said = program.readAllStandardOutput();
    const double alone = teach::meterFlask(e)->model()->pH(0).value;
    QVERIFY2(said.startsWith("0 mL  pH ") && std::abs(said.mid(9, 5).toDouble() - alone) < 0.15 &&
                 said.contains("Concentration 0.1 mol/L.  pH = 11\n") &&
                 !said.contains(QString::fromStdString(e.problem.substance->name)),
             qPrintable(said));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
