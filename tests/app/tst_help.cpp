// The help commands and the about window: what each opens, the message of each failure, the
// splash's closing, and the real opener's reading of the desktop opener's exit status.
#include "app/formmain.h"
#include "app/formsplash.h"
#include "fakeplatform.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace app;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void helpCommands_data();
    void helpCommands();
    void realOpenerReadsExitStatus_data();
    void realOpenerReadsExitStatus();

private:
    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestHelp::init()
{
    fake_.opener.opened.clear();
    fake_.opener.fail = false;
    fake_.messages.shown.clear();
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestHelp::cleanup()
{
    window_.reset();
    QFile::remove(FormMain::manualPath());
}

void TestHelp::helpCommands_data()
{
    QTest::addColumn<QString>("command"); // a menu item, or "F1" pressed in an input box
    QTest::addColumn<bool>("manualThere");
    QTest::addColumn<bool>("openerFails");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("message");

    const QString manual = FormMain::manualPath();
    const QStringList noManual{QStringLiteral("Error"), "Can't find/open file " + manual};
    const QStringList noWeb{QStringLiteral("Acidora"),
                            QStringLiteral("Sorry, cannot connect to www.lumbrix.example")};
    const QString manualUrl = QUrl::fromLocalFile(manual).toString();
    QTest::newRow("manual opened")
        << "mnu_Ayuda_Manual" << true << false << manualUrl << QStringList();
    QTest::newRow("manual missing: nothing started")
        << "mnu_Ayuda_Manual" << false << false << QString() << noManual;
    QTest::newRow("no PDF reader") << "mnu_Ayuda_Manual" << true << true << manualUrl << noManual;
    QTest::newRow("F1 from a box") << "F1" << false << false << QString() << noManual;
    QTest::newRow("donation page") << "mnu_Ayuda_DONATE" << false << false
                                   << "http://www.lumbrix.example/donate.html" << QStringList();
    QTest::newRow("no browser") << "mnu_Ayuda_WEB" << false << true << "http://www.lumbrix.example"
                                << noWeb;
}

void TestHelp::helpCommands()
{
    QFETCH(QString, command);
    QFETCH(bool, manualThere);
    QFETCH(bool, openerFails);
    QFETCH(QString, opened);
    QFETCH(QStringList, message);

    if (manualThere) {
        QFile file(FormMain::manualPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    fake_.opener.fail = openerFails;
    if (command == QLatin1String("F1")) {
        QTest::mouseClick(window_->findChild<QRadioButton*>(QStringLiteral("Option1(0)")),
                          Qt::LeftButton);
        QTest::keyClick(window_->findChild<QLineEdit*>(QStringLiteral("TxCBur")), Qt::Key_F1);
    } else {
        window_->findChild<QAction*>(command)->trigger();
    }
    QCOMPARE(fake_.opener.opened.value(0).toString(), opened);
    QCOMPARE(fake_.messages.shown, message);
    QVERIFY(window_->isVisible());
}

void TestHelp::realOpenerReadsExitStatus_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("opened");
    QTest::newRow("opener succeeds") << "true"
                                     << "http://example.org" << true;
    QTest::newRow("opener fails") << "false"
                                  << "http://example.org" << false;
    QTest::newRow("no opener") << "/nonexistent/xdg-open"
                               << "http://example.org" << false;
    QTest::newRow("file missing") << "true"
                                  << "file:///nonexistent/Manual.pdf" << false;
}

void TestHelp::realOpenerReadsExitStatus()
{
    QFETCH(QString, program);
    QFETCH(QString, target);
    QFETCH(bool, opened);
    QtOpener opener(program);
    std::optional<bool> answer;
    opener.open(QUrl(target), this, [&](bool ok) { answer = ok; });
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, opened);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
