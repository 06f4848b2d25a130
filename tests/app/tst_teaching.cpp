// "Find the unknown" in the window: the student's setup and brief with the truth kept out of
// everything shown or saved, the answer graded, then the truth drawn over the readings; a run
// resumed gets its unknown back. The grading itself is tested with the teaching core.
#include "fakedesktop.h"

#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/livepanel.h"
#include "app/printcommand.h"
#include "app/teaching.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace app;

class TestTeaching : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void practiceRun_data();
    void practiceRun();
    void resumedRunKeepsItsUnknown();
    void menuOpensDialogs_data();
    void menuOpensDialogs();

private:
    static constexpr std::uint32_t kSeed = 26;
    /// Exercise kSeed on a simulated meter quick enough for a test, `volumes` kept.
    void practise(std::initializer_list<const char*> volumes)
    {
        LiveChoice quick{{}, 0.05, 0.5, {}};
        quick.source.readingsPerSecond = 10;
        quick.source.responseSeconds = 0.1;
        QVERIFY(window_->teaching()->practise(kSeed, quick));
        auto* box = window_->livePanel()->findChild<QLineEdit*>(QStringLiteral("liveVolume"));
        std::size_t kept = 0;
        for (const char* volume : volumes) {
            box->setText(QString::fromLatin1(volume));
            QTest::keyClick(box, Qt::Key_Return);
            ++kept;
            QTRY_VERIFY_WITH_TIMEOUT(
                window_->session().readings && window_->session().readings->size() == kept, 10000);
        }
    }
    void restart()
    {
        window_.reset();
        backgroundPool().waitForDone(); // the printer query of the window gone asks its desktop
        fake_ = std::make_unique<FakeDesktop>();
        window_ = std::make_unique<FormMain>(fake_->platform);
        window_->show();
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

void TestTeaching::practiceRun_data()
{
    QTest::addColumn<double>("factor"); // of the true concentration
    QTest::addColumn<bool>("right");
    QTest::newRow("within 1 %") << 1.008 << true;
    QTest::newRow("2 % low") << 0.98 << false;
}

void TestTeaching::practiceRun()
{
    QFETCH(double, factor);
    QFETCH(bool, right);
    practise({"0", "20"});
    QCOMPARE(window_->session().type, exercise_.problem.type);
    QCOMPARE(window_->session().boxes, teach::studentBoxes(exercise_));
    const LivePanel* panel = window_->livePanel();
    QVERIFY(panel->findChild<QLabel*>(QStringLiteral("practiceBrief"))
                ->text()
                .contains(QStringLiteral("Exercise %1").arg(kSeed)));
    // Before the answer, nothing shown or saved tells the unknown: the title, the chart's
    // legends, the report, the run's file (which names the exercise instead).
    QStringList shown{window_->windowTitle()};
    for (const chart::Series& s : window_->document().chart()->series())
        shown << QString::fromStdString(s.legend);
    QTest::mouseClick(window_->findChild<QWidget*>(QStringLiteral("Image4")), Qt::LeftButton, {},
                      QPoint(10, 10));
    shown << window_->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
    QFile run(QString::fromStdString(panel->bench().path().string()));
    QVERIFY(run.open(QIODevice::ReadOnly));
    shown << QString::fromUtf8(run.readAll());
    QVERIFY(shown.back().contains(QStringLiteral("exercise %1").arg(kSeed)));
    const std::string name = exercise_.problem.substance->name, c = exercise_.problem.boxes.TxCErl;
    for (const QString& text : shown)
        QVERIFY2(!text.contains(QString::fromStdString(name), Qt::CaseInsensitive) &&
                     !text.contains(QString::fromStdString(c)),
                 qPrintable(text));

    Teaching* teaching = window_->teaching();
    QVERIFY(!teaching->answer(QStringLiteral("O.1"), QString()) && teaching->exercise());
    const double truth = exercise_.problem.analyteConcentration();
    const auto grade = teaching->answer(QString::number(truth * factor, 'g', 6), QString());
    QVERIFY(grade && grade->right() == right);
    QCOMPARE(fake_->shown.back(), QString::fromStdString(grade->message));
    // The truth over the readings, as the meter read it; answered once only.
    QCOMPARE(window_->session().activity, chem::ActivityModel::Davies);
    const auto& series = window_->document().chart()->series();
    QVERIFY(std::any_of(series.begin(), series.end(), [&](const chart::Series& s) {
        return s.legend == "The unknown: " + name + ", " + c + " mol/L" && s.points.size() > 10;
    }));
    QVERIFY(!teaching->answer(QStringLiteral("0.1"), QString()));
    QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("practiceAnswer"))->isEnabled());
}

void TestTeaching::resumedRunKeepsItsUnknown()
{
    practise({"5"});
    restart(); // the window closed mid-run
    fake_->answers = {0};
    window_->offerUnfinishedRuns();
    QVERIFY(window_->livePanel());
    const lab::Setup& flask = window_->livePanel()->choice().source.truth;
    QCOMPARE(flask.inputs.analyteConc, exercise_.problem.analyteConcentration());
    QCOMPARE(flask.activity, chem::ActivityModel::Davies);
}

void TestTeaching::menuOpensDialogs_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialog"); ///< the class of the modal dialog it opens
    QTest::newRow("quiz") << "mnu_Quiz"
                          << "app::QuizDialog";
    QTest::newRow("worksheet") << "mnu_Worksheet"
                               << "app::WorksheetDialog";
}

void TestTeaching::menuOpensDialogs()
{
    QFETCH(QString, action);
    QFETCH(QString, dialog);
    QString opened;
    QTimer::singleShot(0, this, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    QAction* command = window_->teaching()->menu()->findChild<QAction*>(action);
    QVERIFY(command);
    command->trigger();
    QCOMPARE(opened, dialog);
}

QTEST_MAIN(TestTeaching)
#include "tst_teaching.moc"
