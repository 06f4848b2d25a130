// "Find the unknown" in the window: the student's setup and brief with the truth kept out of
// everything shown or saved, the answer graded, then the truth drawn over the readings; a run
// resumed gets its unknown back. The grading itself is tested with the teaching core.
#include "fakedesktop.h"

#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/livepanel.h"
#include "app/printcommand.h"
#include "app/teaching.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using namespace app;

namespace {

constexpr std::uint32_t kSeed = 26;

LiveChoice quickMeter()
{
    LiveChoice c;
    c.settleBand = 0.05;
    c.settleSeconds = 0.5;
    c.source.readingsPerSecond = 10;
    c.source.responseSeconds = 0.1;
    return c;
}

} // namespace

class TestTeaching : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void truthHiddenUntilAnswered();
    void answerGradedThenTruthShown_data();
    void answerGradedThenTruthShown();
    void refusedDuringALiveRun();
    void resumedRunKeepsItsUnknown();

private:
    void typeVolume(const char* text)
    {
        auto* box = window_->livePanel()->findChild<QLineEdit*>(QStringLiteral("liveVolume"));
        box->setText(QString::fromLatin1(text));
        QTest::keyClick(box, Qt::Key_Return);
    }
    void restart()
    {
        window_.reset();
        backgroundPool().waitForDone(); // the printer query of the window gone asks its desktop
        fake_ = std::make_unique<FakeDesktop>();
        window_ = std::make_unique<FormMain>(fake_->platform);
        window_->show();
    }
    std::size_t readings() const
    {
        return window_->session().readings ? window_->session().readings->size() : 0;
    }

    std::unique_ptr<FakeDesktop> fake_;
    std::unique_ptr<FormMain> window_;
    teach::Exercise exercise_ = *teach::makeExercise(kSeed);
};

void TestTeaching::init()
{
    QStandardPaths::setTestModeEnabled(true);
    QDir(liveFolder()).removeRecursively();
    QSettings().clear();
    restart();
}

void TestTeaching::truthHiddenUntilAnswered()
{
    QVERIFY(window_->teaching()->practise(kSeed, quickMeter()));
    QCOMPARE(window_->session().type, exercise_.problem.type);
    QCOMPARE(window_->session().boxes, teach::studentBoxes(exercise_));
    std::size_t kept = 0;
    for (const char* volume : {"0", "10", "20"}) {
        typeVolume(volume);
        ++kept;
        QTRY_COMPARE_WITH_TIMEOUT(readings(), kept, 10000);
    }
    const LivePanel* panel = window_->livePanel();
    QVERIFY(panel->findChild<QLabel*>(QStringLiteral("practiceBrief"))
                ->text()
                .contains(QStringLiteral("Exercise %1").arg(kSeed)));
    // Everything shown or saved before the answer: the title, the chart's legends, the
    // report, the run's file.
    QStringList shown{window_->windowTitle()};
    for (const chart::Series& s : window_->document().chart()->series())
        shown << QString::fromStdString(s.legend);
    QTest::mouseClick(window_->findChild<QWidget*>(QStringLiteral("Image4")), Qt::LeftButton, {},
                      QPoint(10, 10));
    shown << window_->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
    QFile run(QString::fromStdString(panel->bench().path().string()));
    QVERIFY(run.open(QIODevice::ReadOnly));
    const QString file = QString::fromUtf8(run.readAll());
    QVERIFY(file.contains(QStringLiteral("exercise %1").arg(kSeed)));
    shown << file;
    const QString name = QString::fromStdString(exercise_.problem.substance->name);
    const QString concentration = QString::fromStdString(exercise_.problem.boxes.TxCErl);
    for (const QString& text : shown)
        QVERIFY2(!text.contains(name, Qt::CaseInsensitive) && !text.contains(concentration),
                 qPrintable(text));
}

void TestTeaching::answerGradedThenTruthShown_data()
{
    QTest::addColumn<double>("factor"); // of the true concentration
    QTest::addColumn<bool>("right");
    QTest::newRow("within 1 %") << 1.008 << true;
    QTest::newRow("2 % low") << 0.98 << false;
}

void TestTeaching::answerGradedThenTruthShown()
{
    QFETCH(double, factor);
    QFETCH(bool, right);
    Teaching* teaching = window_->teaching();
    QVERIFY(teaching->practise(kSeed, quickMeter()));
    const double truth = exercise_.problem.analyteConcentration();
    const auto grade = teaching->answer(QString::number(truth * factor, 'g', 6), QString());
    QVERIFY(grade && grade->right() == right);
    QCOMPARE(fake_->shown.value(1), QString::fromStdString(grade->message));
    // The truth over the readings, as the meter read it; answered once only.
    const session::Session& s = window_->session();
    QCOMPARE(s.kept.size(), std::size_t(1));
    QCOMPARE(s.activity, chem::ActivityModel::Davies);
    const std::string legend = "The unknown: " + exercise_.problem.substance->name + ", " +
                               exercise_.problem.boxes.TxCErl + " mol/L";
    const auto& series = window_->document().chart()->series();
    QVERIFY(std::any_of(series.begin(), series.end(), [&](const chart::Series& c) {
        return c.legend == legend && c.points.size() > 10;
    }));
    QVERIFY(!teaching->answer(QStringLiteral("0.1"), QString()));
    QVERIFY(!window_->livePanel()
                 ->findChild<QPushButton*>(QStringLiteral("practiceAnswer"))
                 ->isEnabled());
}

void TestTeaching::refusedDuringALiveRun()
{
    window_->inputPage()->preset(chem::TitrationType::WeakAcidStrongBase,
                                 {"0.1", "25", "0.1", "1E-5"}, 0);
    LiveChoice live = quickMeter();
    live.source.kind = live::SourceChoice::Kind::Simulated;
    QVERIFY(window_->startLive(live));
    QVERIFY(!window_->teaching()->practise(kSeed, quickMeter()));
    QVERIFY(fake_->shown.value(1).contains("finish it"));
    QVERIFY(!window_->teaching()->exercise());
}

void TestTeaching::resumedRunKeepsItsUnknown()
{
    QVERIFY(window_->teaching()->practise(kSeed, quickMeter()));
    typeVolume("5");
    QTRY_COMPARE_WITH_TIMEOUT(readings(), std::size_t(1), 10000);
    restart(); // the window closed mid-run
    fake_->answers = {0};
    window_->offerUnfinishedRuns();
    QVERIFY(window_->livePanel());
    const lab::Setup& flask = window_->livePanel()->choice().source.truth;
    QCOMPARE(flask.inputs.analyteConc, exercise_.problem.analyteConcentration());
    QCOMPARE(flask.activity, chem::ActivityModel::Davies);
}

QTEST_MAIN(TestTeaching)
#include "tst_teaching.moc"
