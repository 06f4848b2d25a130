// The help commands: the manual (menu and F1), the maker's pages, the about window and its
// links, with every failure message through a failing opener.
#include "app/formmain.h"
#include "app/formsplash.h"
#include "fakeplatform.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

using namespace app;
using Icon = MessageBoxes::Icon;

namespace {

const QString kHost = QStringLiteral("www.lumbrix.example");

FormSplash* openAboutWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<FormSplash*>(w); splash && splash->isVisible())
            return splash;
    return nullptr;
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void manualMissing();
    void manualPresent();
    void f1FromAnInputBox();
    void makerPages_data();
    void makerPages();
    void aboutWindowWaitsForTheUser_data();
    void aboutWindowWaitsForTheUser();
    void webLinkOpensHomePageAndStays();
    void linkFailures_data();
    void linkFailures();
    void languageSelectsTexts_data();
    void languageSelectsTexts();

private:
    void trigger(const char* item)
    {
        window_->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }

    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestHelp::init()
{
    fake_.opener.fail = false;
    fake_.opener.opened.clear();
    fake_.messages.shown.clear();
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestHelp::cleanup()
{
    if (FormSplash* about = openAboutWindow())
        delete about;
    window_.reset();
    QFile::remove(FormMain::manualPath());
}

void TestHelp::manualMissing()
{
    QFile::remove(FormMain::manualPath());
    trigger("mnu_Ayuda_Manual");
    QVERIFY(fake_.opener.opened.isEmpty()); // nothing is launched for a missing file
    QCOMPARE(fake_.messages.shown.size(), 1);
    const auto& m = fake_.messages.shown[0];
    QCOMPARE(m.icon, Icon::Exclamation);
    QCOMPARE(m.title, QStringLiteral("Error"));
    QCOMPARE(m.text, QStringLiteral("Can't find/open file ") + FormMain::manualPath());
    QVERIFY(m.text.endsWith(QLatin1String("/Manual_ACDR.pdf")));
}

void TestHelp::manualPresent()
{
    QFile manual(FormMain::manualPath());
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.close();
    trigger("mnu_Ayuda_Manual");
    QCOMPARE(fake_.opener.opened, QList<QUrl>{QUrl::fromLocalFile(FormMain::manualPath())});
    QVERIFY(fake_.messages.shown.isEmpty());

    // The opener cannot open it (no PDF reader): the same message.
    fake_.opener.fail = true;
    trigger("mnu_Ayuda_Manual");
    QCOMPARE(fake_.messages.shown.size(), 1);
    QCOMPARE(fake_.messages.shown[0].title, QStringLiteral("Error"));
}

void TestHelp::f1FromAnInputBox()
{
    QTest::mouseClick(window_->findChild<QRadioButton*>(QStringLiteral("Option1(0)")),
                      Qt::LeftButton);
    auto* box = window_->findChild<QLineEdit*>(QStringLiteral("TxCBur"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F1);
    QCOMPARE(fake_.messages.shown.size(), 1);
    QVERIFY(fake_.messages.shown[0].text.startsWith(QLatin1String("Can't find/open file ")));
    QVERIFY(window_->isVisible());
}

void TestHelp::makerPages_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("address");

    QTest::newRow("home page") << "mnu_Ayuda_WEB"
                               << "http://www.lumbrix.example";
    QTest::newRow("donation") << "mnu_Ayuda_DONATE"
                              << "http://www.lumbrix.example/donate.html";
}

void TestHelp::makerPages()
{
    QFETCH(QString, item);
    QFETCH(QString, address);

    trigger(item.toLatin1().constData());
    QCOMPARE(fake_.opener.opened, QList<QUrl>{QUrl(address)});
    QVERIFY(fake_.messages.shown.isEmpty());

    fake_.opener.fail = true;
    trigger(item.toLatin1().constData());
    QCOMPARE(fake_.messages.shown.size(), 1);
    QCOMPARE(fake_.messages.shown[0].icon, Icon::Exclamation);
    QCOMPARE(fake_.messages.shown[0].title, QStringLiteral("Acidora"));
    QCOMPARE(fake_.messages.shown[0].text, QStringLiteral("Sorry, cannot connect to ") + kHost);
}

void TestHelp::aboutWindowWaitsForTheUser_data()
{
    QTest::addColumn<int>("key"); // 0: a click on the window

    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("click") << 0;
}

void TestHelp::aboutWindowWaitsForTheUser()
{
    QFETCH(int, key);

    const QList<QAction*> items =
        window_->findChild<QMenu*>(QStringLiteral("mnu_Ayuda"))->actions();
    QStringList captions;
    for (QAction* a : items)
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions,
             (QStringList{"User's Manual (PDF document)...", "-", "Lumbrix Software Home Page...",
                          "Make a donation...", "About..."}));

    trigger("mnu_Ayuda_Acerca");
    QPointer<FormSplash> about = openAboutWindow();
    QVERIFY(about);
    QVERIFY(about->isModal());
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version: 1.1"));
    QTest::qWait(500); // no closing timer in this role
    QVERIFY(about && about->isVisible());
    if (key)
        QTest::keyClick(about, static_cast<Qt::Key>(key));
    else
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(300, 100));
    QTRY_VERIFY(!about);
    QVERIFY(window_->isVisible());
}

void TestHelp::webLinkOpensHomePageAndStays()
{
    trigger("mnu_Ayuda_Acerca");
    QPointer<FormSplash> about = openAboutWindow();
    QVERIFY(about);
    QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("LblWEB")), Qt::LeftButton);
    QCOMPARE(fake_.opener.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.lumbrix.example"))});
    QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("LlblMAIL")), Qt::LeftButton);
    QCOMPARE(fake_.opener.opened.last(), QUrl(QStringLiteral("mailto:contact@lumbrix.example")));
    QVERIFY(about && about->isVisible());
}

void TestHelp::linkFailures_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("mail");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("web, English") << "ENG" << false << "Acidora"
                                  << "Sorry, cannot connect to www.lumbrix.example";
    QTest::newRow("web, Spanish")
        << "SPA" << false << "No se puede abrir la p\u00e1gina"
        << "No se puede abrir la p\u00e1gina www.lumbrix.example/indexes.html\r\n"
           "Aseg\u00farese de tener una conexi\u00f3n activa a internet y un navegador instalado.";
    QTest::newRow("mail, English") << "ENG" << true << "Acidora"
                                   << "Sorry, cannot found your email client application.";
    QTest::newRow("mail, Spanish")
        << "ESP" << true << "No se puede acceder al correo"
        << "No se puede acceder al correo.\r\nAseg\u00farese de tener una conexi\u00f3n activa a "
           "internet y un lector de correos instalado.";
}

void TestHelp::linkFailures()
{
    QFETCH(QString, language);
    QFETCH(bool, mail);
    QFETCH(QString, title);
    QFETCH(QString, text);

    fake_.opener.fail = true;
    FormSplash about(FormSplash::Role::About, fake_.platform, language);
    mail ? about.LlblMAIL_Click() : about.LblWEB_Click();
    QCOMPARE(fake_.messages.shown.size(), 1);
    QCOMPARE(fake_.messages.shown[0].icon, Icon::Exclamation);
    QCOMPARE(fake_.messages.shown[0].title, title);
    QCOMPARE(fake_.messages.shown[0].text, text);
    if (!mail)
        QCOMPARE(fake_.opener.opened.last(),
                 QUrl(language == QLatin1String("ENG")
                          ? QStringLiteral("http://www.lumbrix.example")
                          : QStringLiteral("http://www.lumbrix.example/indexes.html")));
}

void TestHelp::languageSelectsTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("webToolTip");

    QTest::newRow("ENG") << "ENG"
                         << "Version: 1.1"
                         << "www.lumbrix.example";
    QTest::newRow("ING") << "ING"
                         << "Version: 1.1"
                         << "www.lumbrix.example";
    QTest::newRow("SPA") << "SPA"
                         << "Versi\u00f3n: 1.1"
                         << "www.lumbrix.example/indexes.html";
    QTest::newRow("ESP") << "ESP"
                         << "Versi\u00f3n: 1.1"
                         << "www.lumbrix.example/indexes.html";
}

void TestHelp::languageSelectsTexts()
{
    QFETCH(QString, language);
    QFETCH(QString, version);
    QFETCH(QString, webToolTip);

    FormSplash about(FormSplash::Role::About, fake_.platform, language);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), version);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("LblTIT1"))->text(),
             QStringLiteral("Acidora"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("LblTIT2"))->text(),
             QStringLiteral("Acid base titration calculator"));
    QCOMPARE(about.findChild<QWidget*>(QStringLiteral("LblWEB"))->toolTip(), webToolTip);
    QCOMPARE(about.findChild<QWidget*>(QStringLiteral("LlblMAIL"))->toolTip(),
             QStringLiteral("mailto:contact@lumbrix.example"));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
