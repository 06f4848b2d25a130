// The command line: the worked examples as the window copies them, every refusal and usage
// error with its status and message, pH values from the core, chart files written headless.
#include "app/cli.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace app;

namespace {

struct Outcome
{
    int status;
    std::string out, err;
};

Outcome acidora(const QString& arguments)
{
    const cli::Request request =
        cli::parse(QStringList{"acidora"} + arguments.split(' ', Qt::SkipEmptyParts));
    if (!request.options)
        return {request.usageError ? 2 : 0, request.text.toStdString(), {}};
    std::ostringstream out, err;
    const int status = cli::run(*request.options, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples();
    void refusalsAndUsageErrors();
    void pHAndChartFiles();
};

void TestCli::workedExamples()
{
    // The window's copy, line feeds for CR LF unless asked; the indicator by name or number.
    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/weak-acid.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const QByteArray copy = expected.readAll();
    const QString weakAcid = "--report --titration weak-acid --titrant 0.1 --analyte 0,1 "
                             "--analyte-volume 25 --ka 1.8E-5 --indicator ";
    const Outcome lf = acidora(weakAcid + "PHENOLPHTHALEIN");
    QCOMPARE(lf.status, 0);
    QCOMPARE(QByteArray::fromStdString(lf.out), QByteArray(copy).replace("\r\n", "\n"));
    QCOMPARE(acidora(weakAcid + "4 --crlf").out, copy.toStdString());
    QCOMPARE(acidora("--csv --titration strong-acid --titrant 1 --analyte 1 --analyte-volume 5")
                 .out.substr(0, 30),
             std::string("Volume (mL),pH\r\n0.00,0.00\r\n1.0"));
}

void TestCli::refusalsAndUsageErrors()
{
    const QString good = "--report --titration weak-acid --titrant 0.1 --analyte 0.1 ";
    // clang-format off
    const std::tuple<QString, int, const char*> cases[] = {
        {good + "--analyte-volume 25 --ka 1", 1, "the Ka 1 is outside 1E-14 to 1, both excluded"},
        {good + "--analyte-volume 25", 1, "a weak acid needs --ka"},
        {good + "--analyte-volume 4.99 --ka 1e-5", 1, "the equivalence volume 4.99 mL is outside 5 to 300 mL"},
        {good + "--analyte-volume 601 --ka 1e-5", 1, "the analyte volume 601 is outside 2.5 to 600 mL"},
        {"--csv --titration strong-base --titrant 11 --analyte 0.1 --analyte-volume 25", 1, "the titrant concentration 11 is outside 1E-06 to 10 mol/L"},
        {"--csv --titration weak-base --titrant 0.1 --analyte 0 --analyte-volume 25", 1, "the analyte concentration 0 is outside 1E-06 to 10 mol/L"},
        {"--csv --titration strong-base --titrant 0.1 --analyte 0.1", 1, "--analyte-volume is missing"},
        {"--csv --titrant 0.1", 1, "--titration is missing"},
        {"--bogus", 2, "Unknown option 'bogus'."},
        {"--titration acid", 2, "unknown titration 'acid' (strong-acid, weak-acid, strong-base, weak-base)"},
        {"--indicator litmus2", 2, "unknown indicator 'litmus2'"},
        {"--chart curve.jpg", 2, "--chart needs a .pdf, .svg or .png file: 'curve.jpg'"},
        {"--ka 1 --kb 1", 2, "--ka and --kb together"},
        {"stray", 2, "unexpected argument 'stray'"}};
    // clang-format on
    for (const auto& [arguments, status, message] : cases) {
        const Outcome o = acidora(arguments);
        QCOMPARE(o.status, status);
        QCOMPARE(status == 1 ? o.err : o.out, (status == 1 ? "acidora: " : "") +
                                                  std::string(message) + (status == 1 ? "\n" : ""));
        QVERIFY(status == 2 || o.out.empty());
    }
    QCOMPARE(acidora("--version").out, std::string("Acidora 1.1\n"));
}

void TestCli::pHAndChartFiles()
{
    const QString weakAcid =
        "--titration weak-acid --titrant 0.1 --analyte 0.1 --analyte-volume 25 --ka 1.8E-5 ";
    // Full precision: each line reads back as Get_pH's own double.
    std::istringstream ph(acidora(weakAcid + "--ph 0 --ph 25 --ph 12,5").out);
    for (double volume : {0.0, 25.0, 12.5}) {
        double printed = 0;
        QVERIFY(ph >> printed);
        QCOMPARE(printed, chem::Get_pH(chem::TitrationType::WeakAcidStrongBase,
                                       {0.1, 0.1, 25, 1.8e-5}, volume));
    }
    // Each format, by the real program with no display at all.
    QTemporaryDir dir;
    for (const char* name : {"curve.pdf", "curve.svg", "curve.png"}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(ACIDORA_PROGRAM),
                      (weakAcid + "--indicator 4 --chart " + dir.filePath(name)).split(' '));
        QVERIFY(program.waitForFinished(30000) && program.exitCode() == 0);
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(8);
        QVERIFY2(head.startsWith("%PDF") || head.startsWith("<?xml") || head.startsWith("\x89PNG"),
                 name);
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
