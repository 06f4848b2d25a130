// The help commands: what each hands to the opener and the message of each failure; and the
// real opener, which learns from the desktop opener's exit status whether anything opened.
#include "app/formmain.h"
#include "fakeplatform.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace app;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void helpCommands_data();
    void helpCommands();
    void realOpenerReadsExitStatus();
};

void TestHelp::helpCommands_data()
{
    QTest::addColumn<QString>("command"); // a menu item, or F1 pressed in an input box
    QTest::addColumn<bool>("manualThere");
    QTest::addColumn<bool>("openerFails");
    QTest::addColumn<QStringList>("message");
    const QStringList noManual{"Error", "Can't find/open file " + FormMain::manualPath()};
    QTest::newRow("manual opened") << "mnu_Ayuda_Manual" << true << false << QStringList();
    QTest::newRow("manual missing") << "F1" << false << false << noManual;
    QTest::newRow("no PDF reader") << "mnu_Ayuda_Manual" << true << true << noManual;
    QTest::newRow("no browser") << "mnu_Ayuda_DONATE" << false << true
                                << QStringList{"Acidora",
                                               "Sorry, cannot connect to www.lumbrix.example"};
}

void TestHelp::helpCommands()
{
    QFETCH(QString, command);
    QFETCH(bool, manualThere);
    QFETCH(bool, openerFails);
    QFETCH(QStringList, message);
    FakePlatform fake;
    fake.openerFails = openerFails;
    FormMain window(fake.platform);
    window.show();
    QFile manual(FormMain::manualPath());
    if (manualThere)
        QVERIFY(manual.open(QIODevice::WriteOnly));
    if (command == QLatin1String("F1")) {
        QTest::mouseClick(window.findChild<QRadioButton*>(QStringLiteral("Option1(0)")),
                          Qt::LeftButton);
        QTest::keyClick(window.findChild<QLineEdit*>(QStringLiteral("TxCBur")), Qt::Key_F1);
    } else {
        window.findChild<QAction*>(command)->trigger();
    }
    manual.remove();
    // A missing manual starts nothing; the rest go to the opener.
    QCOMPARE(fake.opened.size(), manualThere || command.endsWith("DONATE") ? 1 : 0);
    if (command.endsWith("DONATE"))
        QCOMPARE(fake.opened[0], QUrl("http://www.lumbrix.example/donate.html"));
    QCOMPARE(fake.shown, message);
}

void TestHelp::realOpenerReadsExitStatus()
{
    const std::pair<const char*, const char*> cases[] = {{"true", "http://example.org"},
                                                         {"false", "http://example.org"},
                                                         {"/nonexistent/xdg-open", "http://a.b"},
                                                         {"true", "file:///nonexistent/M.pdf"}};
    for (const auto& [program, target] : cases) {
        std::optional<bool> answer;
        QtOpener(QString::fromLatin1(program)).open(QUrl(target), this, [&](bool ok) {
            answer = ok;
        });
        QTRY_VERIFY(answer.has_value());
        // Only an opener that ran and succeeded on something that exists counts as opened.
        QCOMPARE(*answer, program == std::string("true") && QUrl(target).scheme() == "http");
    }
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
