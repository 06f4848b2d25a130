// Printing: the print command against a print service that answers, refuses, is slow or stays
// silent at each of its questions; the pages placed in the queue's printable area; one job per
// intended press; the CUPS adapter against a server that accepts connections and never
// answers; and the window's Print buttons sending their own page.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/printcommand.h"
#include "app/tablepage.h"
#include "output/writers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <mutex>
#include <thread>

using namespace app;
using namespace std::chrono_literals;

namespace {

/// A print service whose answers come after the delays it is told (-1: no printer at all),
/// taking jobs into a PDF file; and the rest of the desktop, doing nothing but record messages.
struct FakeDesktop : PrintSystem, Clipboard, MessageBoxes, Opener, FileDialogs
{
    int printerMs = 0, paperMs = 0, jobMs = 0;
    std::optional<QMarginsF> margins;
    QString refusal, outputFile;
    mutable std::atomic<int> jobs = 0;
    mutable std::mutex mutex;
    mutable QString handedOver; ///< the file the last job was handed over in
    QStringList shown;
    Platform platform{*this, *this, *this, *this, *this};

    std::optional<PrinterAnswer> query() const override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(printerMs, 0)));
        return printerMs < 0 ? std::nullopt : std::optional(PrinterAnswer{"Q", "Q"});
    }
    std::optional<PaperAnswer> paper(const QString&) const override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(paperMs));
        return PaperAnswer{QPageSize(QPageSize::A4), margins};
    }
    std::optional<QString> submit(const QString&, const QString& pdf, const QString&) const override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(jobMs));
        const std::lock_guard lock(mutex);
        handedOver = pdf;
        QFile::remove(outputFile);
        QFile::copy(pdf, outputFile);
        ++jobs;
        return refusal.isEmpty() ? std::nullopt : std::optional(refusal);
    }
    bool setText(const QString&) override { return true; }
    bool setImage(const QImage&) override { return true; }
    void show(QWidget*, Icon, const QString&, const QString& text) override { shown << text; }
    void open(const QUrl&, QObject*, std::function<void(bool)>) override {}
    QString askSaveName(QWidget*, const QString&, const QString&, const QString&, QString*) override
    {
        return {};
    }
};

std::array<output::ReportLine, 16> reportLines()
{
    std::array<output::ReportLine, 16> lines;
    for (int i = 0; i < 16; ++i)
        lines[std::size_t(i)] = {"Line" + std::to_string(i), false, 60 + 375 * i};
    return lines;
}

std::string table()
{
    std::string t = "    Vol.    pH\r\n";
    for (int i = 0; i < 39; ++i)
        t += "   " + std::to_string(10 + i) + ".00    7.00\r\n";
    return t;
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
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
    void pagePlacedInPrintableArea_data();
    void pagePlacedInPrintableArea();
    void burstOfPressesIsOneJob();
    void silentServerIsGivenUp();
    void buttonsPrintTheirPage();

private:
    /// Presses Print once and waits for the command to end.
    void print()
    {
        QSignalSpy ended(command_, &PrintCommand::finished);
        QElapsedTimer clock;
        clock.start();
        button_->click();
        QVERIFY(!button_->isEnabled() && clock.elapsed() < 100); // the window never waits
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
    fake_->outputFile = dir_.filePath(QStringLiteral("job.pdf"));
    QFile::remove(fake_->outputFile);
    button_ = std::make_unique<QPushButton>();
    command_ = new PrintCommand(button_.get(), fake_->platform,
                                {"Sorry, no printer.", "Sorry, failed.", "Acidora - test"},
                                [](QPagedPaintDevice& device) {
                                    return output::drawResultsPage(device, reportLines(), table());
                                });
    command_->setBounds({300ms, 300ms, 300ms});
    connect(button_.get(), &QPushButton::clicked, command_, &PrintCommand::start);
}

void TestPrint::cleanup()
{
    // The calls that outlived their bound end, and the job's temporary file goes with them.
    backgroundPool().waitForDone();
    const std::lock_guard lock(fake_->mutex);
    QVERIFY(fake_->handedOver.isEmpty() || !QFile::exists(fake_->handedOver));
}

void TestPrint::outcomes_data()
{
    QTest::addColumn<int>("printerMs"); // -1: no printer installed
    QTest::addColumn<int>("paperMs");
    QTest::addColumn<int>("jobMs");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message"); // "" for a job taken
    QTest::newRow("taken") << 0 << 0 << 0 << ""
                           << "";
    QTest::newRow("refused, with the server's reason")
        << 0 << 0 << 0 << "server-error-not-accepting-jobs"
        << "Sorry, failed.\nserver-error-not-accepting-jobs";
    QTest::newRow("no printer installed") << -1 << 0 << 0 << ""
                                          << "Sorry, no printer.";
    QTest::newRow("no printer named in time") << 1500 << 0 << 0 << ""
                                              << "Sorry, no printer.";
    QTest::newRow("slow paper lookup: default paper") << 0 << 1500 << 0 << ""
                                                      << "";
    QTest::newRow("job never taken") << 0 << 0 << 1500 << ""
                                     << "Sorry, failed.\nThe print server did not answer.";
}

void TestPrint::outcomes()
{
    QFETCH(int, printerMs);
    QFETCH(int, paperMs);
    QFETCH(int, jobMs);
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    fake_->printerMs = printerMs;
    fake_->paperMs = paperMs;
    fake_->jobMs = jobMs;
    fake_->refusal = refusal;
    print();
    QCOMPARE(fake_->shown.value(0), message);
    QVERIFY(button_->isEnabled());
    if (message.isEmpty()) // the page drawn into the PDF handed over, to its last row
        QVERIFY(run("pdftotext", {fake_->outputFile, "-"}).contains("48.00"));
}

void TestPrint::pagePlacedInPrintableArea_data()
{
    QTest::addColumn<std::optional<QMarginsF>>("margins");
    QTest::addColumn<double>("leftMm"); // where the first line's text begins
    QTest::addColumn<double>("topMm");
    QTest::addColumn<int>("pages"); // the break follows the printable height
    // 12 mm and 5.9 mm into the printable area, whose corner is the queue's margins, else the
    // writer's 10 points (3.5 mm).
    QTest::newRow("queue's wide margins")
        << std::optional(QMarginsF(40, 50, 10, 60)) << 52.0 << 55.9 << 2;
    QTest::newRow("queue says nothing") << std::optional<QMarginsF>() << 15.5 << 9.4 << 1;
}

void TestPrint::pagePlacedInPrintableArea()
{
    QFETCH(std::optional<QMarginsF>, margins);
    QFETCH(double, leftMm);
    QFETCH(double, topMm);
    QFETCH(int, pages);
    fake_->margins = margins;
    print();
    const QString words = run("pdftotext", {"-bbox", fake_->outputFile, "-"});
    const QRegularExpressionMatch first =
        QRegularExpression(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)")re").match(words);
    constexpr double kMmPerPoint = 25.4 / 72;
    QVERIFY2(qAbs(first.captured(1).toDouble() * kMmPerPoint - leftMm) < 1.5 &&
                 qAbs(first.captured(2).toDouble() * kMmPerPoint - topMm) < 2.5,
             qPrintable(first.captured()));
    QVERIFY(run("pdfinfo", {fake_->outputFile})
                .contains(QRegularExpression(QStringLiteral("Pages: +%1\n").arg(pages))));
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
    const QtPrintSystem printers(500ms);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!printers.query());
    QVERIFY(!printers.paper("Q"));
    QFile pdf(dir_.filePath("job.pdf"));
    QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4") > 0);
    pdf.close();
    QCOMPARE(printers.submit("Q", pdf.fileName(), "t"),
             std::optional(QtPrintSystem::noAnswerReason()));
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
}

void TestPrint::buttonsPrintTheirPage()
{
    FormMain window(fake_->platform);
    window.show();
    window.inputPage()->preset(chem::TitrationType::WeakAcidStrongBase,
                               {"0.1", "25", "0,1", "1.8E-5"}, 4);
    QTRY_VERIFY(window.latestPrinter());
    const std::pair<const char*, const char*> pages[] = {
        {"Image4", "Table of values"}, {"Image5", "Titration of weak acid with strong base"}};
    for (const auto& [picture, text] : pages) {
        QTest::mouseClick(window.findChild<QWidget*>(picture), Qt::LeftButton, {}, QPoint(10, 10));
        QPushButton* button = QString(picture) == "Image4" ? window.tablePage()->printButton()
                                                           : window.curvePage()->printButton();
        QVERIFY(button->isVisible());
        const int jobs = fake_->jobs;
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(fake_->jobs.load(), jobs + 1);
        QVERIFY(run("pdftotext", {fake_->outputFile, "-"}).contains(text));
    }
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
