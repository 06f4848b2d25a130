// Measured readings: the reader's accepted and refused forms; the end points and the fit
// against the model's own curve with 0.01 pH of noise (fixed seeds), read at a student's steps.
#include "lab/endpoints.h"
#include "lab/fit.h"
#include "lab/measured.h"
#include "lab/readings.h"
#include "lab/statistics.h"
#include "lab/synthetic.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cmath>

using namespace lab;
using chem::TitrationType;

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
    void recovery_data();
    void recovery();
    void refusesWhatDoesNotFit();
    void activities_data();
    void activities();
    void measuredInWordsAndJson();
    void studentT();
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

void TestLab::activities_data()
{
    QTest::addColumn<double>("noise");
    QTest::newRow("ideal electrode") << 0.0;
    QTest::newRow("0.002 pH noise") << 0.002;
}

void TestLab::activities()
{
    // 25 mL of 0.05 mol/L phosphoric acid with 0.1 mol/L NaOH, read as a meter reads it,
    // −log a(H⁺): fitted with activities, pKa2 is the thermodynamic 7.198 of the library. Fitted
    // with concentrations, the ionic strength (about 0.06 mol/L at the second half-way point)
    // pulls it about 0.26 low (6.934), half the gap real phosphate runs show.
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

QTEST_APPLESS_MAIN(TestLab)
#include "tst_lab.moc"
