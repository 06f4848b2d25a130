// The main window's own behaviour (keys, picture buttons, printer tool tips) and the splash.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/formsplash.h"
#include "app/inputpage.h"
#include "app/tablepage.h"
#include "fakeplatform.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace app;

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void escClosesFromInsideABox();
    void pictureButtonPressLook();
    void printerToolTips_data();
    void printerToolTips();
    void splashClosesByItself();
    void splashClosesOnClickOrKey_data();
    void splashClosesOnClickOrKey();
};

void TestWindows::escClosesFromInsideABox()
{
    FakePlatform fake;
    FormMain window(fake.platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Option1(0)")), Qt::LeftButton);
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("TxCBur"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("0.1"));
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestWindows::pictureButtonPressLook()
{
    FakePlatform fake;
    FormMain window(fake.platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* button = window.findChild<QWidget*>(QStringLiteral("Image3"));
    QCOMPARE(button->pos(), QPoint(16, 20));

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(button->pos(), QPoint(17, 21));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(button->pos(), QPoint(16, 20));

    // Dragged off before the release: back at rest, and no click.
    window.tablePage()->show();
    window.inputPage()->hide();
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(button->pos(), QPoint(17, 21));
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(300, 10));
    QCOMPARE(button->pos(), QPoint(16, 20));
    QVERIFY(!window.inputPage()->isVisible());

    // A click on "Input data" shows the input page alone.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(window.inputPage()->isVisible());
    QVERIFY(!window.tablePage()->isVisible());
    QVERIFY(!window.curvePage()->isVisible());
}

void TestWindows::printerToolTips_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no printer: tool tips stay empty") << QStringList() << QString();
    QTest::newRow("default printer named") << QStringList{"Office", "TestPDF"} << "TestPDF";
}

void TestWindows::printerToolTips()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, expected);

    FakePlatform fake;
    fake.printers.printers = installed;
    fake.printers.defaultName = installed.isEmpty() ? QString() : installed.last();
    FormMain window(fake.platform);
    window.show();
    auto* print = window.findChild<QPushButton*>(QStringLiteral("CmdPRINT"));
    auto* printCurve = window.findChild<QPushButton*>(QStringLiteral("CmdPRINT_CUR"));
    // Within half a second of the window opening.
    QTRY_COMPARE_WITH_TIMEOUT(print->toolTip(), expected, 500);
    QTRY_COMPARE_WITH_TIMEOUT(printCurve->toolTip(), expected, 100);
    QTest::qWait(600); // and a tick later still the same
    QCOMPARE(print->toolTip(), expected);
}

void TestWindows::splashClosesByItself()
{
    FakePlatform fake;
    auto* splash = new FormSplash(FormSplash::Role::Splash, fake.platform);
    QPointer<FormSplash> alive(splash);
    QSignalSpy closing(splash, &FormSplash::closing);
    splash->show();
    QCOMPARE(splash->size(), QSize(469, 319));
    QCOMPARE(splash->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version: 1.1"));
    QTest::qWait(200);
    QCOMPARE(closing.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(closing.count(), 1, 1000);
    QTRY_VERIFY(!alive);
}

void TestWindows::splashClosesOnClickOrKey_data()
{
    QTest::addColumn<QString>("target"); // a child to click, or "" for a key
    QTest::addColumn<int>("key");

    QTest::newRow("click on the window") << "FormSplash" << 0;
    QTest::newRow("click on the logo") << "Image1" << 0;
    QTest::newRow("click on the title") << "LblTIT1" << 0;
    QTest::newRow("click on the version") << "lblVersion" << 0;
    QTest::newRow("Esc") << "" << int(Qt::Key_Escape);
    QTest::newRow("Enter") << "" << int(Qt::Key_Return);
    QTest::newRow("a letter") << "" << int(Qt::Key_A);
}

void TestWindows::splashClosesOnClickOrKey()
{
    QFETCH(QString, target);
    QFETCH(int, key);

    FakePlatform fake;
    auto* splash = new FormSplash(FormSplash::Role::Splash, fake.platform);
    QPointer<FormSplash> alive(splash);
    QSignalSpy closing(splash, &FormSplash::closing);
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    if (target.isEmpty()) {
        QTest::keyClick(splash, static_cast<Qt::Key>(key));
    } else {
        QWidget* w =
            target == QLatin1String("FormSplash") ? splash : splash->findChild<QWidget*>(target);
        QTest::mouseClick(w, Qt::LeftButton);
    }
    QCOMPARE(closing.count(), 1); // at once, well before the timer
    QTRY_VERIFY(!alive);
    QTest::qWait(500);
    QCOMPARE(closing.count(), 1);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
