// Live readings in the window: the meter's settings read and remembered, a run's bookkeeping
// (saved before shown, nothing lost when the file fails), and the wiring of the menu, the live
// panel and the offer to resume, with a simulated meter on its own thread.
#include "fakedesktop.h"

#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/livebench.h"
#include "app/livepanel.h"
#include "app/livesetup.h"
#include "app/meterdialog.h"
#include "app/printcommand.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace app;
using FormEdit = std::function<void(MeterForm&)>;
Q_DECLARE_METATYPE(FormEdit)

namespace {

const report::BoxTexts kExample{"0.1", "25", "0,1", "1.8E-5"};

session::Session example(chem::TitrationType type = chem::TitrationType::WeakAcidStrongBase)
{
    session::Session s;
    s.type = type;
    s.boxes = kExample;
    s.indicatorPosition = 4;
    return s;
}

session::Document exampleDocument()
{
    return session::Document(indicators::filledCatalogue(), example());
}

/// A run's file as it is read back.
meter::SavedRun fromDisk(const std::filesystem::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? meter::readRun(file.readAll().toStdString())
                                          : meter::SavedRun{};
}

std::vector<meter::Reading> onDisk(const std::filesystem::path& path)
{
    return fromDisk(path).readings;
}

} // namespace

class TestLiveWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void formsRefused_data();
    void formsRefused();
    void formsSurviveTheirText();
    void benchSavesThenShows();
    void meterDialogFromTheMenu();
    void readingsAtTheBench();
    void unfinishedRunsOffered();

private:
    template <typename T> T* in(QWidget* parent, const char* name) const
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }
    /// A simulated meter quick enough for a test: ten readings a second, settled in half one.
    static LiveChoice quickMeter()
    {
        LiveChoice c;
        c.source.kind = live::SourceChoice::Kind::Simulated;
        c.settleBand = 0.05;
        c.settleSeconds = 0.5;
        c.source.readingsPerSecond = 10;
        c.source.responseSeconds = 0.1;
        return c;
    }
    void typeVolume(LivePanel* panel, const QString& text)
    {
        QLineEdit* box = in<QLineEdit>(panel, "liveVolume");
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    std::unique_ptr<FakeDesktop> fake_;
    std::unique_ptr<FormMain> window_;
};

void TestLiveWindow::init()
{
    window_.reset();
    backgroundPool().waitForDone(); // the printer query of the window gone asks its desktop
    QStandardPaths::setTestModeEnabled(true); // the runs and settings stay out of the user's
    QDir(liveFolder()).removeRecursively();
    QSettings().clear();
    fake_ = std::make_unique<FakeDesktop>();
    window_ = std::make_unique<FormMain>(fake_->platform);
    window_->show();
    window_->inputPage()->preset(chem::TitrationType::WeakAcidStrongBase, kExample, 4);
}

void TestLiveWindow::formsRefused_data()
{
    QTest::addColumn<FormEdit>("edit");
    QTest::addColumn<QString>("reason"); // a part of it; empty when the form is used
    const auto ezo = [](MeterForm& f) { f = withPreset(f, *meter::presetNamed("ezo")); };
    // clang-format off
    QTest::newRow("a preset on a typed path") << FormEdit(ezo) << QString();
    QTest::newRow("no port") << FormEdit([](MeterForm& f) { f.port.port = "  "; }) << "the meter's port";
    QTest::newRow("a pick below 1") << FormEdit([](MeterForm& f) { f.pick = "0"; }) << "Which number is the pH";
    QTest::newRow("an expression without a group") << FormEdit([](MeterForm& f) { f.pick = "pH"; }) << "Which number is the pH";
    QTest::newRow("a poll too often") << FormEdit([](MeterForm& f) { f.port.pollSeconds = 0.05; }) << "poll interval";
    QTest::newRow("no settle band") << FormEdit([](MeterForm& f) { f.settleBand = 0; }) << "settle band";
    QTest::newRow("a simulated meter needs no port") << FormEdit([](MeterForm& f) { f.simulated = true; f.port.port.clear(); }) << QString();
    // clang-format on
}

void TestLiveWindow::formsRefused()
{
    QFETCH(FormEdit, edit);
    QFETCH(QString, reason);
    MeterForm form;
    form.port.port = " /dev/pts/3 ";
    edit(form);
    const chem::Result<LiveChoice> choice = liveChoice(form);
    QVERIFY2(QString::fromStdString(choice.failure).contains(reason) &&
                 !choice == !reason.isEmpty(),
             choice.failure.c_str());
    if (!choice || form.simulated)
        return;
    QCOMPARE(choice.value->source.port.port, std::string("/dev/pts/3"));
    form.port.port = "/dev/pts/3"; // the form a choice gives back, its preset recognised
    QCOMPARE(formEntries(formOf(*choice.value)), formEntries(form));
}

void TestLiveWindow::formsSurviveTheirText()
{
    MeterForm form = withPreset({}, *meter::presetNamed("orion"));
    form.port = {"/dev/ttyACM0", 19200, 7, meter::Parity::Even, 2, meter::LineEnd::LF,
                 "GETMEAS",      2.5,   {}};
    form.settleBand = 0.005;
    QTemporaryDir dir;
    QSettings settings(dir.filePath("s.ini"), QSettings::IniFormat);
    rememberForm(settings, form);
    QCOMPARE(formEntries(rememberedForm(settings)), formEntries(form));
    // A run's header gives back the titration as typed, a line break a blank; a value that is
    // not a number leaves the default.
    session::Session setup = example(chem::TitrationType::WeakBaseStrongAcid);
    setup.boxes.TxKaKb = "1.8E-5\nx";
    meter::RunHeader header = runHeader(setup, form);
    header.emplace_back("baud", "fast");
    const std::filesystem::path path = dir.filePath("run.csv").toStdString();
    QVERIFY(meter::RunLog().start(path, header));
    const RestoredRun run = restoredRun(fromDisk(path).header);
    QVERIFY(run.type == setup.type && run.indicatorPosition == 4);
    QCOMPARE(run.boxes.TxKaKb, std::string("1.8E-5 x"));
    form.port.baud = 9600;
    QCOMPARE(formEntries(run.form), formEntries(form));
}

void TestLiveWindow::benchSavesThenShows()
{
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath("run.csv").toStdString();
    session::Document document = exampleDocument();
    LiveBench bench(document, "Live", 0.05, 1);
    QVERIFY(bench.start(path, {{"type", "weak-acid"}}));
    for (int t = 0; t <= 2; ++t)
        bench.meterReading(t, 3.0);
    QVERIFY(bench.keep(0, false).value->has_value()); // settled: kept at once
    QVERIFY(!bench.keep(5, true).value->has_value()); // a fresh pH must settle first
    for (int t = 3; t <= 5; ++t)
        bench.meterReading(t, 4.5);
    const std::vector<meter::Reading> both{{0, 3.0}, {5, 4.5}};
    QCOMPARE(onDisk(path), both);
    QCOMPARE(document.setup().readings->pH, (std::vector<double>{3.0, 4.5}));
    QCOMPARE(document.setup().readingsName, std::string("Live"));
    bench.undo();
    QVERIFY(onDisk(path).size() == 1 && document.setup().readings->size() == 1);
    // Taken up in another window: the readings, and new ones in the same file.
    session::Document again = exampleDocument();
    LiveBench resumed(again, "Live", 0.05, 1);
    meter::SavedRun saved{path, {}, onDisk(path)};
    QVERIFY(resumed.resume(saved) && again.setup().readings->size() == 1);
    resumed.meterReading(10, 5.0);
    resumed.meterReading(12, 5.0);
    // The meter lost: its last pH is stale, so the volume waits for fresh readings.
    resumed.meterLost();
    QVERIFY(!resumed.keep(6, false).value->has_value());
    resumed.meterReading(14, 5.6);
    resumed.meterReading(16, 5.6);
    QCOMPARE(onDisk(path).back(), (meter::Reading{6, 5.6}));
    // A file that cannot be written: the reading still reaches the document, and it is told.
    LiveBench unsaved(document, "Live", 0.05, 1);
    QVERIFY(!unsaved.start("/dev/null/run.csv", {}) && !unsaved.saveFailure().empty());
    unsaved.meterReading(0, 7);
    unsaved.meterReading(2, 7);
    QVERIFY(unsaved.keep(1, false) && document.setup().readings->size() == 1);
}

void TestLiveWindow::meterDialogFromTheMenu()
{
    QTest::mouseClick(window_->findChild<QWidget*>("Image5"), Qt::LeftButton, {}, QPoint(10, 10));
    QString refused;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<MeterDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->accept(); // a serial meter without a port: stays open and says why
        refused = in<QLabel>(dialog, "meterReason")->text();
        QComboBox* preset = in<QComboBox>(dialog, "meterPreset");
        preset->setFocus();
        QTest::keyClick(preset, Qt::Key_End); // the simulated meter
        in<QDoubleSpinBox>(dialog, "settleSeconds")->setValue(0.5);
        dialog->accept();
    });
    window_->findChild<QAction*>("mnu_Live")->trigger();
    QVERIFY(refused.contains("port") && window_->livePanel());
    QSettings settings;
    const MeterForm remembered = rememberedForm(settings);
    QVERIFY(remembered.simulated && remembered.settleSeconds == 0.5);
    QCOMPARE(window_->livePanel()->choice().source.truth.inputs.analyteVolume, 25.0);
}

void TestLiveWindow::readingsAtTheBench()
{
    QVERIFY(window_->startLive(quickMeter()));
    LivePanel* panel = window_->livePanel();
    const std::filesystem::path path = panel->bench().path();
    ChartPage* chart = window_->curvePage();
    const auto said = [chart] { return chart->accessibleDescription(); };
    const auto count = [this] {
        return window_->session().readings ? int(window_->session().readings->size()) : 0;
    };
    // Each kept reading is on disk by the time the document has it, and the chart follows.
    int savedFirst = 0;
    connect(panel, &LivePanel::readingsChanged, this,
            [&] { savedFirst += onDisk(path).size() == std::size_t(count()); });
    int kept = 0;
    for (const char* volume : {"0", "10", "24,5", "26"}) {
        typeVolume(panel, QString::fromLatin1(volume));
        ++kept;
        QTRY_COMPARE_WITH_TIMEOUT(count(), kept, 10000);
    }
    QTRY_VERIFY(said().contains("4 readings: Live readings."));
    QCOMPARE(savedFirst, 4);
    QVERIFY(window_->session().readings->pH.back() > 10); // the simulated flask followed
    // Refused volumes keep nothing and say why.
    const QLabel* note = in<QLabel>(panel, "liveNote");
    typeVolume(panel, "20");
    QVERIFY(note->text().contains("below the last one kept, 26 mL"));
    typeVolume(panel, "lots");
    QVERIFY(note->text().contains("not a number") && count() == 4 && onDisk(path).size() == 4);
    // Undo from the volume box, in the file, the document and the list; then a fixed step.
    QTest::keyClick(in<QLineEdit>(panel, "liveVolume"), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(count() == 3 && onDisk(path).size() == 3 &&
            in<QListWidget>(panel, "liveReadings")->count() == 3);
    in<QDoubleSpinBox>(panel, "liveStep")->setValue(0.5);
    QTest::keyClick(in<QLineEdit>(panel, "liveVolume"), Qt::Key_Space, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(count(), 4, 10000);
    QCOMPARE(window_->session().readings->volume.back(), 25.0);
    // Finish: the run's file is complete and the readings stay.
    QTest::mouseClick(in<QPushButton>(panel, "liveFinish"), Qt::LeftButton);
    QTRY_VERIFY(!window_->livePanel());
    QVERIFY(meter::unfinishedRuns(liveFolder().toStdString()).empty() && count() == 4);
}

void TestLiveWindow::unfinishedRunsOffered()
{
    // Two runs left off: the newer discarded (its file stays), the older taken up.
    MeterForm form = formOf(quickMeter());
    session::Session typed = example();
    for (const char* name : {"run-1.csv", "run-2.csv"}) {
        meter::RunLog log;
        QVERIFY(log.start((liveFolder() + '/' + name).toStdString(), runHeader(typed, form)));
        log.append({0, 2.9});
        log.append({5, 4.1});
        typed.boxes.TxKaKb = "1E-5";
        QTest::qWait(20); // the newer file is the newer by its time
    }
    window_->inputPage()->preset(chem::TitrationType::StrongAcidStrongBase, {}, 0);
    fake_->answers = {2, 0};
    window_->offerUnfinishedRuns();
    QVERIFY(fake_->shown.value(1).contains("2 readings, the last at 5 mL"));
    QVERIFY(window_->livePanel() && QFile::exists(liveFolder() + "/run-2.csv"));
    QCOMPARE(window_->session().boxes.TxKaKb, std::string("1.8E-5"));
    QCOMPARE(window_->session().readings->size(), std::size_t(2));
    typeVolume(window_->livePanel(), "10");
    QTRY_COMPARE_WITH_TIMEOUT(onDisk(window_->livePanel()->bench().path()).size(), std::size_t(3),
                              10000);
    QCOMPARE(window_->livePanel()->bench().path().filename().string(), std::string("run-1.csv"));
}

QTEST_MAIN(TestLiveWindow)
#include "tst_livewindow.moc"
