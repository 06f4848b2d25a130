// The print command against a service that answers, refuses, is slow or silent at each question;
// the page in the queue's printable area; one job a press; the CUPS adapter giving up.
#include "fakedesktop.h"

#include "app/printcommand.h"
#include "output/writers.h"

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace app;
using namespace std::chrono_literals;

namespace {

/// The results page with 16 report lines and a 39-row table, the last row "48.00 7.00".
bool drawPage(QPagedPaintDevice& device)
{
    std::array<output::ReportLine, 16> report;
    for (int i = 0; i < 16; ++i)
        report[std::size_t(i)] = {"Line" + std::to_string(i), false, 60 + 375 * i};
    std::string table = "    Vol.    pH\r\n";
    for (int i = 10; i < 49; ++i)
        table += "   " + std::to_string(i) + ".00    7.00\r\n";
    return output::drawResultsPage(device, report, table);
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void outcomes_data();
    void outcomes();
    void burstOfPressesIsOneJob();
    void silentServerIsGivenUp();

private:
    void print() // one press, and the command's end
    {
        QSignalSpy ended(command_, &PrintCommand::finished);
        button_->click();
        QVERIFY(!button_->isEnabled()); // back on the window's thread, the job in hand
        QVERIFY(ended.wait(5000));
    }

    QTemporaryDir dir_;
    std::unique_ptr<FakeDesktop> fake_;
    std::unique_ptr<QPushButton> button_;
    PrintCommand* command_ = nullptr;
};

void TestPrint::init()
{
    fake_ = std::make_unique<FakeDesktop>();
    fake_->output = dir_.filePath(QStringLiteral("job.pdf"));
    QFile::remove(fake_->output);
    button_ = std::make_unique<QPushButton>();
    command_ =
        new PrintCommand(button_.get(), fake_->platform,
                         {"Sorry, no printer.", "Sorry, failed.", "Acidora - test"}, drawPage);
    command_->setBounds({300ms, 300ms, 300ms});
    connect(button_.get(), &QPushButton::clicked, command_, &PrintCommand::start);
}

void TestPrint::cleanup()
{
    // The calls that outlived their bound end, and the job's temporary file goes with them.
    backgroundPool().waitForDone();
    QVERIFY(fake_->handedOver.isEmpty() || !QFile::exists(fake_->handedOver));
}

void TestPrint::outcomes_data()
{
    QTest::addColumn<QList<int>>("delays"); // printer (-1: none installed), paper, job, in ms
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<std::optional<QMarginsF>>("margins");
    QTest::addColumn<QString>("message");   // "" when the job was taken
    QTest::addColumn<QPointF>("firstText"); // where the first line begins, in mm
    QTest::addColumn<int>("pages");         // the break follows the printable height
    const std::optional<QMarginsF> none, wide = QMarginsF(40, 50, 10, 60);
    const QString refused = "server-error-not-accepting-jobs";
    // 12 mm and 5.9 mm into the printable area: the queue's, else 10 points (3.5 mm) in.
    // clang-format off
    QTest::newRow("taken") << QList{0, 0, 0} << "" << none << "" << QPointF(15.5, 9.4) << 1;
    QTest::newRow("queue's wide margins") << QList{0, 0, 0} << "" << wide << "" << QPointF(52, 55.9) << 2;
    QTest::newRow("refused, with the server's reason") << QList{0, 0, 0} << refused << none << "Sorry, failed.\n" + refused << QPointF() << 0;
    QTest::newRow("no printer installed") << QList{-1, 0, 0} << "" << none << "Sorry, no printer." << QPointF() << 0;
    QTest::newRow("no printer named in time") << QList{1500, 0, 0} << "" << none << "Sorry, no printer." << QPointF() << 0;
    QTest::newRow("slow paper: default paper, not no printer") << QList{0, 1500, 0} << "" << wide << "" << QPointF(15.5, 9.4) << 1;
    QTest::newRow("job never taken") << QList{0, 0, 1500} << "" << none << "Sorry, failed.\nThe print server did not answer." << QPointF() << 0;
    // clang-format on
}

void TestPrint::outcomes()
{
    QFETCH(QList<int>, delays);
    QFETCH(QString, refusal);
    QFETCH(std::optional<QMarginsF>, margins);
    QFETCH(QString, message);
    QFETCH(QPointF, firstText);
    QFETCH(int, pages);
    std::tie(fake_->printerMs, fake_->paperMs, fake_->jobMs) =
        std::tuple(delays[0], delays[1], delays[2]);
    fake_->refusal = refusal;
    fake_->margins = margins;
    print();
    QCOMPARE(fake_->shown.value(1), message);
    QVERIFY(button_->isEnabled());
    if (!pages)
        return;
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", fake_->output, "-"});
    QVERIFY(pdftotext.waitForFinished(20000));
    const QString words = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QRegularExpressionMatch first =
        QRegularExpression(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)")re").match(words);
    const QPointF at = QPointF(first.captured(1).toDouble(), first.captured(2).toDouble()) / 72;
    QVERIFY2(qAbs(at.x() * 25.4 - firstText.x()) < 1.5 && qAbs(at.y() * 25.4 - firstText.y()) < 2.5,
             qPrintable(first.captured()));
    QVERIFY(words.contains("48.00") && words.count("<page ") == pages); // no row lost
}

void TestPrint::burstOfPressesIsOneJob()
{
    for (int i = 0; i < 20; ++i) {
        button_->click();
        QTest::qWait(100);
    }
    QCOMPARE(fake_->jobs.load(), 1);
    QTest::qWait(int(PrintCommand::kRepeatGap.count()) + 200);
    print(); // a press after a pause is a new job
    QCOMPARE(fake_->jobs.load(), 2);
}

void TestPrint::silentServerIsGivenUp()
{
    QTcpServer silent; // accepts connections, never reads nor answers
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    qputenv("CUPS_SERVER", "127.0.0.1:" + QByteArray::number(silent.serverPort()));
    QFile pdf(dir_.filePath("job.pdf"));
    QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4") > 0);
    pdf.close();
    const QtPrintSystem printers(500ms);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!printers.query() && !printers.paper("Q"));
    QCOMPARE(printers.submit("Q", pdf.fileName(), "t"),
             std::optional(QtPrintSystem::noAnswerReason()));
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
