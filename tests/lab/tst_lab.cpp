// Measured readings: the reader's accepted and refused forms; the end points and the fit
// against the model's own curve with 0.01 pH of noise (fixed seeds), read at a student's steps.
#include "lab/coverage.h"
#include "lab/endpoints.h"
#include "lab/fit.h"
#include "lab/measured.h"
#include "lab/readings.h"
#include "lab/statistics.h"
#include "lab/synthetic.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

using namespace lab;
using chem::TitrationType;

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(VolumePlan)

// The "measured" member in an object of its own, as the run's JSON holds it.
static std::string measuredObject(const Measured& m)
{
    report::JsonWriter json;
    json.beginObject(report::JsonWriter::Layout::Lines);
    measuredJson(json, m);
    return json.end().text();
}

class TestLab : public QObject
{
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void readerColumns_data();
    void readerColumns();
    void recovery_data();
    void recovery();
    void denseReadings_data();
    void denseReadings();
    void granOnItsStraightPart_data();
    void granOnItsStraightPart();
    void refusesWhatDoesNotFit();
    void activities_data();
    void activities();
    void benchReadingsErrors();
    void coverageOnABench_data();
    void coverageOnABench();
    void measuredInWordsAndJson();
    void studentT();
    void fitWarnings_data();
    void fitWarnings();
    void realReadings_data();
    void realReadings();
};

void TestLab::reader_data()
{
    // Accepted: the readings as "volume:pH" after sorting. Refused: the reason.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("outcome");
    const auto row = [](const char* name, const QByteArray& text, const char* outcome) {
        QTest::newRow(name) << text << QString::fromUtf8(outcome);
    };
    row("the program's own CSV",
        "Volume (mL),pH\r\n0,2.875\r\n5,4.141\r\n12.5,4.745\r\n20,5.347\r\n"
        "25,8.725\r\n",
        "0:2.875 5:4.141 12.5:4.745 20:5.347 25:8.725");
    row("semicolons, decimal commas, BOM, comments, blank lines",
        "\xEF\xBB\xBF# run 2\n\nV;pH\n0;2,5\n1,5 ; 3\n\n2;3,5 # drop\n3;4\n4;5\n",
        "0:2.5 1.5:3 2:3.5 3:4 4:5");
    row("blanks and tabs with decimal commas", "0 2,5\n1\t3\n2  \t 3,5\n3 4\n4 5",
        "0:2.5 1:3 2:3.5 3:4 4:5");
    row("comma and blanks, signs and exponents", "0, +2.5\n1e0 ,3\n2,3.5\n3,-1.5\n4,16\n",
        "0:2.5 1:3 2:3.5 3:-1.5 4:16");
    row("unsorted, duplicates kept in order", "2,4\n1,3\n2,5\n0,2\n3,6\n2,4.5\n",
        "0:2 1:3 2:4 2:5 2:4.5 3:6");
    row("not a number", "0,2\n1,x7\n2,3\n3,4\n4,5\n", "line 2: the pH \"x7\" is not a number");
    row("nan is not a number", "0,2\n1,3\n2,nan\n3,4\n4,5\n",
        "line 3: the pH \"nan\" is not a number");
    row("a second header", "V,pH\nmL,-\n0,2\n1,3\n2,4\n3,5\n",
        "line 2: the volume \"mL\" is not a number");
    row("pH above 16", "0,2\n1,3\n2,16.5\n3,4\n4,5\n", "line 3: the pH 16.5 is outside -2 to 16");
    row("pH below -2", "0,-2.1\n1,3\n2,4\n3,4\n4,5\n", "line 1: the pH -2.1 is outside -2 to 16");
    row("negative volume", "# v,pH\n-1,2\n1,3\n2,4\n3,4\n4,5\n",
        "line 2: the volume -1 mL is negative");
    row("three columns", "0;2\n1;3;4\n2;4\n3;4\n4;5\n",
        "line 2: 3 columns where a volume and a pH");
    row("one column", "0 2\n1\n2 4\n3 4\n4 5\n", "line 2: 1 column where a volume and a pH");
    row("decimal comma where the comma separates", "0,2.5\n1,3,5\n", "line 2: 3 columns");
    row("fewer than 5 readings", "V,pH\n0,2\n1,3\n2,4\n3,5\n", "4 readings; at least 5 are needed");
    row("a NUL byte", QByteArray("0,2\n1,\0003\n", 9), "line 2: not text");
    row("not UTF-8", "0,2\n# caf\xC3\n1,3\n", "line 2: not text");
    row("overlong UTF-8", "0,2 # \xC0\xAF\n", "line 1: not text");
    row("CR line ends, as old spreadsheets write them", "V,pH\r0,2\r1,3\r\r2,4\r3,5\r4,6\r",
        "0:2 1:3 2:4 3:5 4:6");
    row("CR refused on its own line", "0,2\r1,3\r\n2,x\r", "line 3: the pH \"x\"");
    row("a volume beyond any burette", "0,2\n1,3\n2,4\n1E300,5\n",
        "line 4: the volume 1e+300 mL is over 10 L");
    row("over 10 MB", QByteArray(10 * 1024 * 1024 + 1, '1'), "the file is over 10 MB");
}

void TestLab::reader()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, outcome);
    const chem::Result<Readings> r = readReadings(std::string_view(text.constData(), text.size()));
    QString read;
    if (r) {
        for (std::size_t i = 0; i < r.value->size(); ++i)
            read += QStringLiteral("%1%2:%3")
                        .arg(i ? " " : "")
                        .arg(r.value->volume[i])
                        .arg(r.value->pH[i]);
    } else {
        read = QString::fromStdString(r.failure).left(outcome.size());
    }
    QCOMPARE(read, outcome);
}

// A data logger's export: two runs side by side, a pH every second, the volume typed when it
// changes, as the school data-logging programs export them ("Run N: quantity (unit)" headers,
// a run's columns together, CSV or tab-separated). Written for these tests after the layout of
// such exports; no published file was at hand. Run 2 is a volume shorter; run 1 logs a pH
// before its first volume.
static QByteArray loggerExport(char sep)
{
    QByteArray text =
        "\"Run 1: Time (s)\",\"Run 1: pH\",\"Run 1: Volume (mL)\",\"Run 1: Temperature "
        "(°C)\",\"Run 2: Time (s)\",\"Run 2: pH\",\"Run 2: Titrant added (cm³)\"\n"
        "0,2.50,,21.0,0,3.50,\n";
    int t = 1;
    for (int v = 0; v < 6; ++v)
        for (const double step : {0.0, 0.2, 0.1}) {
            const auto n = [](double x) { return QByteArray::number(x); };
            text += n(t) + ',' + n(3 + v + step) + ',' + (step == 0 ? n(v) : QByteArray()) +
                    ",21.0," +
                    (v < 5 ? n(t) + ',' + n(4 + v + step) + ',' + (step == 0 ? n(v) : QByteArray())
                           : ",,") +
                    '\n';
            ++t;
        }
    return text.replace(',', sep);
}

void TestLab::readerColumns_data()
{
    // The columns read as "volume,pH" (1-based; "?" when no header settled them), then the
    // readings and what a log's merging says, or the refusal.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("columns"); // as --columns takes them; "" for the reader's choice
    QTest::addColumn<int>("run");         // 0 for the first
    QTest::addColumn<QString>("outcome");
    const QByteArray five = "pH,Volume (mL)\n2,0\n3,1\n4,2\n5,3\n6,4\n";
    QTest::newRow("headers in either order") << five << "" << 0 << "2,1 0:2 1:3 2:4 3:5 4:6";
    QTest::newRow("a meter's columns with units, decimal commas")
        << QByteArray("Time (s);T (°C);Titrant added (cm³);pH\n0;21,5;0,0;2,5\n5;21,5;1,0;3\n"
                      "9;21,6;2,0;3,5\n14;21,6;3,0;4\n20;21,5;4,0;5\n")
        << "" << 0 << "3,4 0:2.5 1:3 2:3.5 3:4 4:5";
    QTest::newRow("headers unknown: the first numeric columns")
        << QByteArray("Sample,Reading A,Reading B\nx1,0,2\nx2,1,3\nx3,2,4\nx4,3,5\nx5,4,6\n") << ""
        << 0 << "2,3? 0:2 1:3 2:4 3:5 4:6";
    QTest::newRow("no header, three columns")
        << QByteArray("0,2,25\n1,3,25\n2,4,25\n3,5,25\n4,6,25\n") << "" << 0
        << "1,2? 0:2 1:3 2:4 3:5 4:6";
    QTest::newRow("chosen by number") << QByteArray("0,2,25\n1,3,25\n2,4,25\n3,5,25\n4,6,25\n")
                                      << "3,2" << 0 << "3,2 25:2 25:3 25:4 25:5 25:6";
    QTest::newRow("chosen by header text") << five << "volume,PH" << 0 << "2,1 0:2 1:3 2:4 3:5 4:6";
    QTest::newRow("the first run, its log merged")
        << loggerExport(',') << "" << 0
        << "3,2 0:3.1 1:4.1 2:5.1 3:6.1 4:7.1 5:8.1 | 6 volumes from 18 logged readings";
    QTest::newRow("run 2, tab-separated")
        << loggerExport('\t') << "" << 2
        << "7,6 0:4.1 1:5.1 2:6.1 3:7.1 4:8.1 | 5 volumes from 15 logged readings";
    QTest::newRow("run 2 by its header") << loggerExport(',') << "titrant,ph" << 2
                                         << "7,6 0:4.1 1:5.1 2:6.1 3:7.1 4:8.1 | 5 volumes";
    QByteArray last = "Volume,pH\n1,1\n";
    for (int pH = 2; pH <= 12; ++pH) // readings 1 to 12 at 1 mL: the last ten's median 7.5
        last += ',' + QByteArray::number(pH) + '\n';
    QTest::newRow("a volume's median of its last ten")
        << last + "2,13\n3,14\n,14.2\n,14.1\n4,15\n5,16\n"
        << "" << 0 << "1,2 1:7.5 2:13 3:14.1 4:15 5:16 | 5 volumes from 18 logged readings";
    QTest::newRow("no such run") << loggerExport(',') << "" << 3
                                 << "no run 3 in the file (its runs: 1, 2)";
    QTest::newRow("runs in a file without any") << five << "" << 1 << "no run 1: no header";
    QTest::newRow("no such column") << five << "3,1" << 0 << "no column 3: the file has 2";
    QTest::newRow("no such header")
        << loggerExport(',') << "mass,ph" << 2 << "no column headed \"mass\" in run 2";
    QTest::newRow("one column for both")
        << five << "2,volume" << 0 << "the volume and the pH cannot both be column 2";
    QTest::newRow("more columns than the header")
        << QByteArray("t,V,pH\n0,0,2\n1,1,3,9\n") << "" << 0 << "line 3: 4 columns where 3 were";
    QTest::newRow("a typed volume without its pH")
        << QByteArray("V,pH\n0,2\n,2.1\n1,\n") << "" << 0 << "line 4: the pH \"\" is not";
}

void TestLab::readerColumns()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, columns);
    QFETCH(int, run);
    QFETCH(QString, outcome);
    ReadOptions options;
    options.run = run;
    if (!columns.isEmpty()) {
        const auto picks = parseColumns(columns.toStdString());
        QVERIFY(picks);
        options.volume = (*picks)[0];
        options.pH = (*picks)[1];
    }
    const ReadingsRead r = readReadings(std::string_view(text.constData(), text.size()), options);
    QString read;
    if (r.readings) {
        const Readings& got = *r.readings.value;
        read = QStringLiteral("%1,%2%3")
                   .arg(r.layout.volumeColumn + 1)
                   .arg(r.layout.pHColumn + 1)
                   .arg(r.layout.settled ? "" : "?");
        for (std::size_t i = 0; i < got.size(); ++i)
            read += QStringLiteral(" %1:%2").arg(got.volume[i]).arg(got.pH[i]);
        if (got.loggedReadings > 0)
            read += " | " + QString::fromStdString(loggedReadingsText(got));
    } else {
        read = QString::fromStdString(r.readings.failure);
    }
    QCOMPARE(read.left(outcome.size()), outcome);
}

void TestLab::recovery_data()
{
    // The true analyte is 2 % above the nominal one that the student's steps are planned for.
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("K");
    QTest::addColumn<QList<double>>("pKa");
    QTest::addColumn<bool>("fitPKa");
    QTest::addColumn<int>("jumps");
    QTest::newRow("strong acid") << 0 << 0.0 << QList<double>{} << false << 1;
    QTest::newRow("acetic acid, Ka fitted") << 1 << 1.8e-5 << QList<double>{} << true << 1;
    QTest::newRow("fairly strong acid: Gran needs the corrected form")
        << 1 << 1e-3 << QList<double>{} << false << 1;
    QTest::newRow("strong base") << 2 << 0.0 << QList<double>{} << false << 1;
    QTest::newRow("ammonia") << 3 << 1.8e-5 << QList<double>{} << false << 1;
    QTest::newRow("phosphoric acid: two jumps, the third too weak")
        << 1 << 0.0 << QList<double>{2.15, 7.20, 12.35} << true << 2;
}

void TestLab::recovery()
{
    QFETCH(int, type);
    QFETCH(double, K);
    QFETCH(QList<double>, pKa);
    QFETCH(bool, fitPKa);
    QFETCH(int, jumps);
    Setup nominal{*chem::titrationTypeFromIndex(type), {0.1, 0.1, 25.0, K}, std::nullopt};
    if (!pKa.isEmpty())
        nominal.constants = report::AnalyteConstants{{pKa.begin(), pKa.end()}, {}, {}};
    Setup truth = nominal;
    truth.inputs.analyteConc = 0.102;
    const std::vector<double> planned{25.0, 50.0};
    const chem::Result<Readings> readings = simulateReadings(
        truth, labVolumes({planned.data(), std::size_t(jumps)}, 25.0 * jumps + 15.0), 0.01, 42);
    QVERIFY(readings);

    const chem::Result<std::vector<EndPoint>> found = findEndPoints(*readings.value, nominal);
    QVERIFY2(found, found.failure.c_str());
    int derivative = 0, gran = 0;
    for (const EndPoint& p : *found.value) {
        const double ve = 25.5 * p.index;
        (p.method == EndPointMethod::Derivative ? derivative : gran) += 1;
        QVERIFY2(std::abs(p.volume - ve) < 0.1, qPrintable(QString::number(p.volume)));
        QVERIFY(p.ci95[0] <= ve && ve <= p.ci95[1]);
        QVERIFY(std::abs(p.analyteConcentration / 0.102 - 1.0) < 0.005);
        QVERIFY(p.method == EndPointMethod::Gran || !p.crossingDisagrees);
    }
    QCOMPARE(derivative, jumps);
    QCOMPARE(gran, pKa.isEmpty() ? (chem::isWeak(nominal.type) ? 1 : 2) : 0);

    const chem::Result<Fit> fit = fitReadings(*readings.value, nominal, fitPKa);
    QVERIFY2(fit, fit.failure.c_str());
    QVERIFY(std::abs(fit.value->analyteConcentration / 0.102 - 1.0) < 0.005);
    QVERIFY(fit.value->rmsResidual > 0.007 && fit.value->rmsResidual < 0.013);
    const std::vector<double> truePKa =
        pKa.isEmpty() ? std::vector<double>{type == 3 ? 14.0 + std::log10(K) : -std::log10(K)}
                      : std::vector<double>{pKa.begin(), pKa.end()};
    QCOMPARE(fit.value->pKa.size(), fitPKa ? truePKa.size() : 0);
    for (std::size_t k = 0; k < fit.value->pKa.size(); ++k)
        QVERIFY(std::abs(fit.value->pKa[k] - truePKa[k]) < 4.0 * fit.value->pKaSE[k] + 1e-3);
    QVERIFY(fit.value->curve(readings.value->volume));
}

void TestLab::denseReadings_data()
{
    // Of one jump at 25.5 mL, read from 0 to 50 mL evenly or at random volumes (to 0.001 mL);
    // each row once gave end points in the noise.
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("random");
    QTest::addColumn<unsigned>("seed");
    QTest::newRow("acetic acid, 100,000 evenly, pH to 0.001")
        << TitrationType::WeakAcidStrongBase << 100000 << false << 1u;
    QTest::newRow("acetic acid, 5,000 at random")
        << TitrationType::WeakAcidStrongBase << 5000 << true << 4u;
    QTest::newRow("strong acid, 5,000 at random")
        << TitrationType::StrongAcidStrongBase << 5000 << true << 4u;
    QTest::newRow("ammonia, 20,000 at random")
        << TitrationType::WeakBaseStrongAcid << 20000 << true << 2u;
}

void TestLab::denseReadings()
{
    // As many end points as jumps, whatever the number of readings; the fit as on few.
    QFETCH(TitrationType, type);
    QFETCH(int, count);
    QFETCH(bool, random);
    QFETCH(unsigned, seed);
    const Setup nominal{type, {0.1, 0.1, 25.0, chem::isWeak(type) ? 1.8e-5 : 0.0}, {}};
    Setup truth = nominal;
    truth.inputs.analyteConc = 0.102;
    std::vector<double> volumes(count);
    std::mt19937 pick(seed);
    for (int i = 0; i < count; ++i)
        volumes[i] = random ? std::round(pick() / 4294967296.0 * 50000) / 1000 : 50.0 * i / count;
    std::ranges::sort(volumes);
    Readings r = *simulateReadings(truth, volumes, 0.01, seed).value;
    for (double& pH : r.pH)
        pH = std::round(pH * 1000) / 1000;
    const Measured m = analyseReadings(r, nominal, false);
    QCOMPARE(m.endPoints.size(), chem::isWeak(type) ? 2u : 3u);
    for (const EndPoint& p : m.endPoints) {
        QCOMPARE(p.index, 1);
        QVERIFY2(p.ci95[0] <= 25.5 && 25.5 <= p.ci95[1], qPrintable(QString::number(p.volume)));
        QVERIFY(!p.crossingDisagrees);
    }
    QCOMPARE(m.endPoints[0].method, EndPointMethod::Derivative);
    QVERIFY(m.fit && std::abs(m.fit->analyteConcentration / 0.102 - 1.0) < 0.001);
}

void TestLab::granOnItsStraightPart_data()
{
    // HCl read every 0.5 mL, the jump between 25.0 and 25.5 mL (25.2), by a meter whose
    // junction adds `junction` pH at 0.1 mol/L of H⁺ (in proportion to it) or whose slope is
    // `slope`. Gran's line before: from which reading, or declined (0).
    QTest::addColumn<double>("junction");
    QTest::addColumn<double>("slope");
    QTest::addColumn<double>("noise");
    QTest::addColumn<double>("from");
    QTest::newRow("an ideal meter: every reading from 10 %") << 0.0 << 1.0 << 0.01 << 3.0;
    QTest::newRow("a junction bends the early readings (once 26.8 mL)")
        << 0.35 << 1.0 << 0.01 << 10.0;
    QTest::newRow("a slope of 70 % bends them all") << 0.0 << 0.7 << 0.0 << 0.0;
}

void TestLab::granOnItsStraightPart()
{
    QFETCH(double, junction);
    QFETCH(double, slope);
    QFETCH(double, noise);
    QFETCH(double, from);
    const Setup hcl{TitrationType::StrongAcidStrongBase, {0.1, 0.1, 25.0, 0.0}, {}};
    Setup truth = hcl;
    truth.inputs.analyteConc = 0.1008;
    std::vector<double> volumes(81);
    std::ranges::generate(volumes, [v = -0.5]() mutable { return v += 0.5; });
    Readings r = *simulateReadings(truth, volumes, noise, 3).value;
    for (double& pH : r.pH)
        pH = std::round((7 + slope * (pH - 7) + junction * std::pow(10.0, 1 - pH)) * 100) / 100;
    const Measured m = analyseReadings(r, hcl, false);
    const auto gran = std::ranges::find_if(m.endPoints, [](const EndPoint& p) {
        return p.method == EndPointMethod::Gran && p.side == GranSide::Before;
    });
    const std::string said =
        gran == m.endPoints.end()
            ? "  No Gran line before: " + std::string(kNotStraight)
            : ",  line through " + std::to_string(gran->linePoints) + " readings, " +
                  QString::number(gran->lineVolumes[0]).toStdString() + " to 23.5 mL";
    QVERIFY(
        std::ranges::any_of(measuredSection(m), [&](auto& line) { return line.ends_with(said); }));
    QCOMPARE(gran == m.endPoints.end(), from == 0);
    if (from > 0)
        QVERIFY2(std::abs(gran->volume - 25.2) < 0.4 && gran->lineVolumes[0] >= from,
                 qPrintable(QString::number(gran->volume)));
}

void TestLab::activities_data()
{
    QTest::addColumn<double>("noise");
    QTest::newRow("ideal electrode") << 0.0;
    QTest::newRow("0.002 pH noise") << 0.002;
}

void TestLab::activities()
{
    // 25 mL of 0.05 mol/L phosphoric acid with 0.1 mol/L NaOH, read as a meter reads it,
    // −log a(H⁺): fitted with activities, pKa2 is the thermodynamic 7.198 of the library.
    // Fitted with concentrations, the ionic strength (about 0.06 mol/L at the second half-way
    // point) pulls it about 0.26 low (6.934), half the gap real phosphate runs show.
    QFETCH(double, noise);
    Setup truth{TitrationType::WeakAcidStrongBase, {0.1, 0.05, 25.0, 0.0}, std::nullopt};
    truth.constants = report::AnalyteConstants{{2.148, 7.198, 12.375}, {}, {}};
    truth.activity = chem::ActivityModel::Davies;
    const chem::Result<Readings> readings =
        simulateReadings(truth, labVolumes(std::vector<double>{12.5, 25.0}, 35.0), noise, 7);
    QVERIFY(readings);
    const chem::Result<Fit> withActivities = fitReadings(*readings.value, truth, true);
    Setup plain = truth;
    plain.activity = chem::ActivityModel::None;
    const chem::Result<Fit> without = fitReadings(*readings.value, plain, true);
    QVERIFY(withActivities && without && withActivities.value->fitted.activity == truth.activity);
    QVERIFY2(
        std::abs(withActivities.value->pKa[1] - 7.198) < 0.05 &&
            without.value->pKa[1] < 7.198 - 0.1,
        qPrintable(QString("%1 %2").arg(withActivities.value->pKa[1]).arg(without.value->pKa[1])));
}

void TestLab::benchReadingsErrors()
{
    // Without errors the bench reads the model's curve at the marks; with only the electrode's
    // offset every reading is off by the same amount, within it; with all of them the volumes
    // are typed to 0.05 mL, ascending, the pH to 0.01, and a seed gives the same readings.
    const Setup truth{TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, {}};
    const std::vector<double> marks = plannedVolumes(VolumePlan::Dense, std::vector{25.0}, 30.0);
    QCOMPARE(marks.size(), std::size_t(50 + 30 + 5));
    const Readings ideal = *benchReadings(truth, marks, {0, 1, 0, 0, 0, 0, 0}, 3).value;
    const Readings offset = *benchReadings(truth, marks, {0.1, 1, 0, 0, 0, 0, 0}, 3).value;
    const std::vector<double> model = *modelCurve(truth, marks).value;
    const double shift = offset.pH[0] - ideal.pH[0];
    QVERIFY(std::abs(shift) <= 0.1 && shift != 0.0);
    for (std::size_t i = 0; i < marks.size(); ++i)
        QVERIFY(std::abs(ideal.pH[i] - model[i]) < 1e-12 &&
                std::abs(offset.pH[i] - ideal.pH[i] - shift) < 1e-9);
    const Readings real = *benchReadings(truth, marks, BenchErrors{}, 3).value;
    QCOMPARE(real.pH, benchReadings(truth, marks, BenchErrors{}, 3).value->pH);
    for (std::size_t i = 0; i < real.size(); ++i)
        QVERIFY(std::abs(real.volume[i] * 20 - std::round(real.volume[i] * 20)) < 1e-9 &&
                std::abs(real.pH[i] * 100 - std::round(real.pH[i] * 100)) < 1e-9 &&
                (i == 0 || real.volume[i] >= real.volume[i - 1]));
}

void TestLab::coverageOnABench_data()
{
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<VolumePlan>("plan");
    QTest::addColumn<double>("widest"); // mL: the derivative's median half-width at most
    for (const auto& [name, type] : {std::pair{"strong acid", TitrationType::StrongAcidStrongBase},
                                     std::pair{"weak acid", TitrationType::WeakAcidStrongBase},
                                     std::pair{"weak base", TitrationType::WeakBaseStrongAcid}}) {
        QTest::addRow("%s, 0.1 mL near the end", name) << type << VolumePlan::Dense << 0.15;
        QTest::addRow("%s, 0.5 mL throughout", name) << type << VolumePlan::Coarse << 0.35;
    }
}

void TestLab::coverageOnABench()
{
    // Realistic readings (activities, the electrode's offset and slope, the burette read by
    // eye) analysed with the typed setup: each method's 95 % interval holds the truth in at
    // least 90 % of 30 runs, and the derivative's is no wider than the readings need.
    QFETCH(TitrationType, type);
    QFETCH(VolumePlan, plan);
    QFETCH(double, widest);
    const Coverage c = measureCoverage(type, plan, 30);
    QCOMPARE(c.runs, 30);
    QVERIFY2(c.derivativeHeld >= 27 && c.fitHeld >= 27 && c.granFound >= 20 &&
                 c.granHeld >= 0.9 * c.granFound,
             qPrintable(QString("derivative %1, fit %2, Gran %3 of %4")
                            .arg(c.derivativeHeld)
                            .arg(c.fitHeld)
                            .arg(c.granHeld)
                            .arg(c.granFound)));
    QVERIFY2(c.derivativeMedianHalfWidth <= widest,
             qPrintable(QString::number(c.derivativeMedianHalfWidth)));
}

void TestLab::refusesWhatDoesNotFit()
{
    const Setup acetic{TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, {}};
    const std::vector<double> volumes = labVolumes(std::vector<double>{25.0}, 40.0);
    Setup strongBase = acetic;
    strongBase.type = TitrationType::StrongBaseStrongAcid;
    Readings random = *simulateReadings(strongBase, volumes, 0.0, 1).value;
    NormalNoise noise(7);
    for (double& pH : random.pH)
        pH = 7.0 + 2.0 * noise.next();
    for (const Readings& r : {*simulateReadings(strongBase, volumes, 0.01, 1).value, random}) {
        const chem::Result<Fit> fit = fitReadings(r, acetic);
        QVERIFY(!fit && !fit.value);
        QVERIFY(fit.failure.starts_with("the fit did not converge"));
    }
    QVERIFY(derivativeEndPoints(random, acetic).failure ==
            "no jump in the readings stands out of their noise");
    // The report and the JSON say so, and give no numbers.
    const Measured m = analyseReadings(random, acetic, false);
    const std::vector<std::string> lines = measuredSection(m);
    QCOMPARE(lines.at(3).substr(0, 21), std::string("  No end point found:"));
    QVERIFY(lines.back().starts_with("  No fit: the fit did not converge"));
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(measuredObject(m)))
                              .object()["measured"]
                              .toObject();
    QVERIFY(o["endPoints"].toArray().isEmpty() && o["fit"].isNull());
    const QJsonArray why = o["warnings"].toArray();
    QVERIFY(why.size() == 2 && why[0].toString() == QString::fromStdString(lines.at(3).substr(2)) &&
            why[1].toString().startsWith("No fit: the fit did not converge"));
}

void TestLab::measuredInWordsAndJson()
{
    // The section rounds what the JSON gives in full: the same end points and fit.
    const Setup acetic{TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, {}};
    const Readings r =
        *simulateReadings(acetic, labVolumes(std::vector<double>{25.0}, 40.0), 0.01, 3).value;
    const Measured m = analyseReadings(r, acetic, true);
    QVERIFY(m.fit && m.endPoints.size() >= 2 && m.fit->pKa.size() == 1);
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(measuredObject(m)))
                              .object()["measured"]
                              .toObject();
    QCOMPARE(o["points"].toArray().size(), qsizetype(r.size()));
    QCOMPARE(o["points"].toArray().last().toArray().at(1).toDouble(), r.pH.back());
    const QJsonObject gran = o["endPoints"].toArray().at(1).toObject();
    QCOMPARE(gran["method"].toString() + ' ' + gran["side"].toString(),
             QStringLiteral("gran before"));
    QCOMPARE(o["endPoints"].toArray().at(0)["confirmed"],
             QJsonValue(!m.endPoints[0].crossingDisagrees));
    QVERIFY(gran["volume"].toDouble() == m.endPoints[1].volume &&
            gran["ci95"].toArray().at(1).toDouble() == m.endPoints[1].ci95[1]);
    const QJsonObject fit = o["fit"].toObject();
    QVERIFY(fit["analyteConcentration"].toDouble() == m.fit->analyteConcentration &&
            fit["pKaSE"].toArray().at(0).toDouble() == m.fit->pKaSE[0]);
    const std::vector<std::string> lines = measuredSection(m);
    const QString words = QString::fromStdString(lines[3]);
    QVERIFY2(words.startsWith(
                 QStringLiteral("  End point 1 (first derivative):  %1 mL,  95% interval [ ")
                     .arg(std::round(m.endPoints[0].volume * 100) / 100)),
             qPrintable(words));
    QVERIFY(lines[lines.size() - 2].starts_with("  Fitted pKa "));
    // Four significant digits after rounding, zeros kept; tiny values as constants are written.
    QCOMPARE(concentrationText(0.0999999) + ' ' + concentrationText(0.099984) + ' ' +
                 concentrationText(2.5e-5),
             std::string("0.1000 0.09998 2.5E-5"));
}

void TestLab::studentT()
{
    // Tables of Student's t, 97.5 %.
    const std::pair<int, double> t[] = {
        {1, 12.706}, {2, 4.303}, {5, 2.571}, {30, 2.042}, {5000, 1.961}};
    for (const auto& [df, value] : t)
        QVERIFY2(std::abs(studentTQuantile(0.975, df) - value) < 1e-3,
                 qPrintable(QString::number(df)));
}

void TestLab::fitWarnings_data()
{
    // Readings of 0.1 M acetic acid (or of 0.05 M phosphoric acid up to pH 11.4) with 0.01 pH
    // of noise and a meter's offset, analysed against what was typed and fitted as asked.
    QTest::addColumn<bool>("phosphoric");
    QTest::addColumn<double>("typedConc");
    QTest::addColumn<double>("typedKa");
    QTest::addColumn<double>("offset");
    QTest::addColumn<bool>("fitPKa");
    QTest::addColumn<bool>("fitOffset");
    QTest::addColumn<QString>("warning"); ///< the start of one warning; "" for none at all
    const QString misses = "The model misses the readings by ";
    // clang-format off
    QTest::newRow("as typed") << false << 0.1 << 1.8e-5 << 0.0 << false << false << "";
    QTest::newRow("Ka typed wrong") << false << 0.1 << 1e-5 << 0.0 << false << false << misses + "0.18 pH (RMS), over three times their scatter (0.012 pH): fit the pKa (--fit pka) or an electrode offset (--fit offset).";
    QTest::newRow("an offset not fitted") << false << 0.1 << 1.8e-5 << 0.15 << false << false << misses + "0.15";
    QTest::newRow("an offset fitted") << false << 0.1 << 1.8e-5 << 0.15 << false << true << "";
    QTest::newRow("pKa fitted, an offset left") << false << 0.1 << 1.8e-5 << 0.15 << true << false << misses;
    QTest::newRow("end point beyond the typed curve") << false << 0.04 << 1.8e-5 << 0.0 << false << false << "End point 1 at 25 mL lies beyond the typed titration's curve (0 to 20 mL)";
    QTest::newRow("phosphoric acid to pH 11.4") << true << 0.05 << 0.0 << 0.0 << true << false << "The readings do not determine pKa3: it shows at pH 11.9 to 12.9, the readings span pH 1.";
    // clang-format on
}

void TestLab::fitWarnings()
{
    QFETCH(bool, phosphoric);
    QFETCH(double, typedConc);
    QFETCH(double, offset);
    QFETCH(bool, fitPKa);
    QFETCH(bool, fitOffset);
    QFETCH(QString, warning);
    Setup truth{
        TitrationType::WeakAcidStrongBase, {0.1, phosphoric ? 0.05 : 0.1, 25.0, 1.8e-5}, {}};
    if (phosphoric)
        truth.constants = report::AnalyteConstants{{2.148, 7.198, 12.375}, {}, {}};
    Readings r =
        *simulateReadings(truth, labVolumes(std::vector<double>{25.0}, 40.0), 0.01, 7).value;
    Readings kept;
    for (std::size_t i = 0; i < r.size(); ++i)
        if (!phosphoric || r.pH[i] <= 11.4) {
            kept.volume.push_back(r.volume[i]);
            kept.pH.push_back(r.pH[i] + offset);
        }
    Setup typed = truth;
    typed.inputs.analyteConc = typedConc;
    QFETCH(double, typedKa);
    typed.inputs.dissociationConstant = phosphoric ? 0.0 : typedKa;
    const Measured m = analyseReadings(kept, typed, fitPKa, fitOffset);
    QVERIFY2(m.fit, m.fitFailure.c_str());
    const std::vector<std::string> said = measuredWarnings(m);
    QVERIFY2(warning.isEmpty()
                 ? said.empty()
                 : std::ranges::any_of(said,
                                       [&](const std::string& w) {
                                           return QString::fromStdString(w).startsWith(warning);
                                       }),
             qPrintable(QString::fromStdString(said.empty() ? "none" : said.front())));
    QCOMPARE(m.fit->offset.has_value(), fitOffset);
    QVERIFY(!fitOffset || std::abs(*m.fit->offset - offset) < 3 * *m.fit->offsetSE + 0.005);
    // Advice names only what was not fitted.
    QVERIFY(std::ranges::none_of(said, [&](const std::string& w) {
        return (fitPKa && w.find("--fit pka") != std::string::npos) ||
               (fitOffset && w.find("--fit offset") != std::string::npos);
    }));
}

void TestLab::realReadings_data()
{
    // Readings a pH meter gave, with their source in the file; what was typed for them; where
    // their jump is; what the fit with the table's pKa must say of them.
    QTest::addColumn<QString>("file");
    QTest::addColumn<Setup>("typed");
    QTest::addColumn<double>("jumpFrom");
    QTest::addColumn<double>("jumpTo");
    QTest::addColumn<QString>("warning");
    QTest::newRow("vinegar, a student's report")
        << "vinegar-student-report.csv"
        << Setup{TitrationType::WeakAcidStrongBase, {1, 0.8, 15, 1.8e-5}, {}} << 12.5 << 13.0
        << "The model misses the readings by 0.62 pH (RMS), over three times their scatter";
}

void TestLab::realReadings()
{
    QFETCH(QString, file);
    QFETCH(Setup, typed);
    QFETCH(double, jumpFrom);
    QFETCH(double, jumpTo);
    QFETCH(QString, warning);
    QFile f(ACIDORA_SOURCE_DIR "/tests/lab/data/" + file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    const chem::Result<Readings> r = readReadings({text.constData(), std::size_t(text.size())});
    QVERIFY2(r, r.failure.c_str());
    const Measured m = analyseReadings(*r.value, typed, false);
    // The end points inside the jump, whatever the method; the fit's miss said, not hidden.
    QVERIFY(!m.endPoints.empty());
    // Where the model misses them, it cannot place the jump within the step: the step counts in
    // full, and the interval is the budget's root sum of squares.
    for (const EndPoint& e : m.endPoints) {
        QVERIFY2(e.volume > jumpFrom && e.volume < jumpTo, qPrintable(QString::number(e.volume)));
        const EndPoint::Budget& b = e.budget;
        QVERIFY(e.method == EndPointMethod::Gran || b.spacing >= 0.475 * (jumpTo - jumpFrom));
        QVERIFY(std::abs(b.volumeReading - 1.96 * std::sqrt(2.0) * 0.02) < 1e-12 &&
                std::abs(e.ci95[1] - e.ci95[0] -
                         2 * std::hypot(std::hypot(b.spacing, b.volumeReading, b.scatter),
                                        b.electrode)) < 1e-9);
    }
    const std::vector<std::string> said = measuredWarnings(m);
    QVERIFY(std::ranges::any_of(
        said, [&](const std::string& w) { return QString::fromStdString(w).startsWith(warning); }));
}

QTEST_APPLESS_MAIN(TestLab)
#include "tst_lab.moc"
