// The input page driven as a user drives it: choosing a type, typing into the boxes, picking
// an indicator, and what the schematic and the indicator panel then show.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/shape.h"
#include "app/tablepage.h"
#include "fakeplatform.h"
#include "indicators/catalogue.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace app;

class TestInputPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithOnlyTheTypeChoice();
    void typeSetsCaptionsAndConstantRow_data();
    void typeSetsCaptionsAndConstantRow();
    void constantSurvivesTypeChanges();
    void typedCommaArrivesAsPoint();
    void enterRefreshesWithoutLeavingTheBox();
    void tabRefreshesOnLeaving();
    void indicatorVerdictAndFlask();
    void verdictsOnScreen_data();
    void verdictsOnScreen();
    void boundariesOnScreen_data();
    void boundariesOnScreen();
    void stripEndsShowBothColours();
    void rangeTextsAndFluorescentNote_data();
    void rangeTextsAndFluorescentNote();
    void noIndicatorClearsThePanel();

private:
    template <typename T> T* child(const QString& name) const
    {
        T* w = window_->findChild<T*>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QLabel* label(const QString& name) const { return child<QLabel>(name); }
    void chooseType(int index)
    {
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("Option1(%1)").arg(index)),
                          Qt::LeftButton);
    }
    void enter(const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(box);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void chooseIndicator(int position)
    {
        child<QComboBox>(QStringLiteral("ComboIND"))->setCurrentIndex(position);
    }

    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestInputPage::init()
{
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestInputPage::cleanup()
{
    window_.reset();
}

void TestInputPage::startsWithOnlyTheTypeChoice()
{
    QCOMPARE(window_->size(), QSize(774, 545));
    QVERIFY(window_->inputPage()->isVisible());
    QVERIFY(!window_->tablePage()->isVisible());
    QVERIFY(!window_->curvePage()->isVisible());
    QVERIFY(!window_->inputPage()->selectedType());
    QVERIFY(!child<QWidget>(QStringLiteral("FrameIND"))->isVisible());
    for (const char* box : {"TxCBur", "TxVErl", "TxCErl", "TxKaKb"})
        QVERIFY(!child<QLineEdit>(QString::fromLatin1(box))->isVisible());
    auto* combo = child<QComboBox>(QStringLiteral("ComboIND"));
    QCOMPARE(combo->count(), 28);
    QCOMPARE(combo->itemText(0), QStringLiteral("<No indicator>"));
    QCOMPARE(combo->itemText(27), QStringLiteral("(F) beta-methylumbelliferone"));
    QCOMPARE(combo->currentIndex(), 0);
}

void TestInputPage::typeSetsCaptionsAndConstantRow_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("analyte");
    QTest::addColumn<QString>("titrant");
    QTest::addColumn<QString>("constant"); // "" when the row is hidden

    QTest::newRow("strong acid") << 0 << "Strong acid (analyte)"
                                 << "Strong base (titrant)"
                                 << "";
    QTest::newRow("weak acid") << 1 << "Weak acid (analyte)"
                               << "Strong base (titrant)"
                               << "Ka";
    QTest::newRow("strong base") << 2 << "Strong base (analyte)"
                                 << "Strong acid (titrant)"
                                 << "";
    QTest::newRow("weak base") << 3 << "Weak base (analyte)"
                               << "Strong acid (titrant)"
                               << "Kb";
}

void TestInputPage::typeSetsCaptionsAndConstantRow()
{
    QFETCH(int, type);
    QFETCH(QString, analyte);
    QFETCH(QString, titrant);
    QFETCH(QString, constant);

    chooseType(1); // from a type with the constant row, so hiding it is seen
    chooseType(type);
    QCOMPARE(window_->inputPage()->selectedType(), chem::titrationTypeFromIndex(type));
    QCOMPARE(label(QStringLiteral("Label5(8)"))->text(), analyte);
    QCOMPARE(label(QStringLiteral("Label5(9)"))->text(), titrant);
    QVERIFY(child<QWidget>(QStringLiteral("FrameIND"))->isVisible());
    QVERIFY(child<QLineEdit>(QStringLiteral("TxVErl"))->isVisible());
    QCOMPARE(child<QLineEdit>(QStringLiteral("TxKaKb"))->isVisible(), !constant.isEmpty());
    QCOMPARE(child<Shape>(QStringLiteral("Shape4(6)"))->isVisible(), !constant.isEmpty());
    QCOMPARE(label(QStringLiteral("Label3(5)"))->isVisible(), !constant.isEmpty());
    if (!constant.isEmpty())
        QCOMPARE(label(QStringLiteral("Label3(5)"))->text(), constant);
}

void TestInputPage::constantSurvivesTypeChanges()
{
    chooseType(1);
    enter(QStringLiteral("TxKaKb"), QStringLiteral("1.8E-5"));
    chooseType(0);
    QCOMPARE(child<QLineEdit>(QStringLiteral("TxKaKb"))->text(), QStringLiteral("1.8E-5"));
    chooseType(3);
    QCOMPARE(label(QStringLiteral("Label3(5)"))->text(), QStringLiteral("Kb"));
    QCOMPARE(child<QLineEdit>(QStringLiteral("TxKaKb"))->text(), QStringLiteral("1.8E-5"));
}

void TestInputPage::typedCommaArrivesAsPoint()
{
    chooseType(0);
    auto* box = child<QLineEdit>(QStringLiteral("TxCErl"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("0,1"));
    QCOMPARE(box->text(), QStringLiteral("0.1"));
    // A pasted comma stays, and is still read as a point.
    box->setText(QStringLiteral("0,01"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(label(QStringLiteral("LblpHErl"))->text(), QStringLiteral("pH = 2"));
}

void TestInputPage::enterRefreshesWithoutLeavingTheBox()
{
    chooseType(0);
    auto* box = child<QLineEdit>(QStringLiteral("TxCBur"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("0.1"));
    QCOMPARE(label(QStringLiteral("LblpHBur"))->text(), QString());
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(label(QStringLiteral("LblpHBur"))->text(), QStringLiteral("pH = 13"));
    QVERIFY(box->hasFocus());
}

void TestInputPage::tabRefreshesOnLeaving()
{
    chooseType(2);
    auto* box = child<QLineEdit>(QStringLiteral("TxCBur"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("2"));
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(child<QLineEdit>(QStringLiteral("TxVErl"))->hasFocus());
    QCOMPARE(label(QStringLiteral("LblpHBur"))->text(), QStringLiteral("pH = -.301"));
}

void TestInputPage::indicatorVerdictAndFlask()
{
    chooseType(0);
    enter(QStringLiteral("TxCBur"), QStringLiteral("0.1"));
    enter(QStringLiteral("TxVErl"), QStringLiteral("25"));
    enter(QStringLiteral("TxCErl"), QStringLiteral("0.1"));
    QLabel* verdict = label(QStringLiteral("Label5(10)"));
    QVERIFY(!verdict->isVisible());

    chooseIndicator(3); // bromothymol blue
    QVERIFY(verdict->isVisible());
    QCOMPARE(verdict->text(), QStringLiteral("Very appropriate"));
    QCOMPARE(verdict->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    // pH 1 in the flask: the acid colour.
    QCOMPARE(child<Shape>(QStringLiteral("ShErlem"))->fillColour(), QColor(255, 240, 160));

    chooseIndicator(1); // alizarin yellow R
    QCOMPARE(verdict->text(), QStringLiteral("Inappropriate"));
    QCOMPARE(verdict->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // A volume that makes Veq 2.5 mL is refused: the verdict goes, the labels stay.
    enter(QStringLiteral("TxVErl"), QStringLiteral("2.5"));
    QVERIFY(!verdict->isVisible());
    QCOMPARE(label(QStringLiteral("LblpHErl"))->text(), QStringLiteral("pH = 1"));
    QCOMPARE(chem::CalcErrorFlag, 1);
}

void TestInputPage::verdictsOnScreen_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<QString>("verdict");

    // 0.1 M, 25 mL, 0.1 M: the jump runs from pH 3.30 to 10.70 around pH 7.
    const std::pair<int, const char*> cases[] = {{3, "Very appropriate"},
                                                 {4, "Appropriate"},
                                                 {6, "Appropriate"},
                                                 {1, "Inappropriate"},
                                                 {16, "Inappropriate"}};
    for (int type : {0, 2})
        for (const auto& [indicator, verdict] : cases)
            QTest::addRow("type %d, indicator %d", type, indicator)
                << type << indicator << QString::fromLatin1(verdict);
}

void TestInputPage::verdictsOnScreen()
{
    QFETCH(int, type);
    QFETCH(int, indicator);
    QFETCH(QString, verdict);

    chooseType(type);
    enter(QStringLiteral("TxCBur"), QStringLiteral("0.1"));
    enter(QStringLiteral("TxVErl"), QStringLiteral("25"));
    enter(QStringLiteral("TxCErl"), QStringLiteral("0.1"));
    chooseIndicator(indicator);
    QVERIFY(label(QStringLiteral("Label5(10)"))->isVisible());
    QCOMPARE(label(QStringLiteral("Label5(10)"))->text(), verdict);
}

void TestInputPage::boundariesOnScreen_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("erlLabel"); // the flask's pH label afterwards
    QTest::addColumn<QString>("burLabel");

    // A weak acid, 0.1 M titrant, 25 mL and 0.1 M analyte, Ka 1.8E-5, no indicator.
    QTest::newRow("titrant 10 M") << "TxCBur"
                                  << "10"
                                  << "pH = 2.876"
                                  << "pH = 15";
    QTest::newRow("titrant 10.01 M refused") << "TxCBur"
                                             << "10.01"
                                             << "pH = 2.876"
                                             << "";
    QTest::newRow("titrant 1E-6 M") << "TxCBur"
                                    << "1E-6"
                                    << "pH = 2.876"
                                    << "pH = 8.004";
    QTest::newRow("titrant 9.9E-7 M refused") << "TxCBur"
                                              << "9.9E-7"
                                              << "pH = 2.876"
                                              << "";
    QTest::newRow("analyte 10.01 M refused: nothing shows") << "TxCErl"
                                                            << "10.01"
                                                            << ""
                                                            << "";
    QTest::newRow("Ka 1 refused") << "TxKaKb"
                                  << "1"
                                  << ""
                                  << "";
    QTest::newRow("Ka 1E-14 refused") << "TxKaKb"
                                      << "1E-14"
                                      << ""
                                      << "";
    QTest::newRow("Ka 1.1E-14") << "TxKaKb"
                                << "1.1E-14"
                                << "pH = 6.978"
                                << "pH = 13";
    QTest::newRow("volume 600 mL") << "TxVErl"
                                   << "600"
                                   << "pH = 2.876"
                                   << "pH = 13";
    QTest::newRow("volume 600.1 mL refused, after both labels") << "TxVErl"
                                                                << "600.1"
                                                                << "pH = 2.876"
                                                                << "pH = 13";
}

void TestInputPage::boundariesOnScreen()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, erlLabel);
    QFETCH(QString, burLabel);

    chooseType(1);
    enter(QStringLiteral("TxCBur"), QStringLiteral("0.1"));
    enter(QStringLiteral("TxVErl"), QStringLiteral("25"));
    enter(QStringLiteral("TxCErl"), QStringLiteral("0.1"));
    enter(QStringLiteral("TxKaKb"), QStringLiteral("1.8E-5"));
    enter(box, text);
    QCOMPARE(label(QStringLiteral("LblpHErl"))->text(), erlLabel);
    QCOMPARE(label(QStringLiteral("LblpHBur"))->text(), burLabel);
    const bool refused =
        QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("refused"));
    QCOMPARE(window_->inputPage()->schematic().calcErrorFlag, refused ? 1 : 0);
}

void TestInputPage::stripEndsShowBothColours()
{
    chooseType(0);
    indicators::IndicatorCatalogue catalogue;
    indicators::InicializarIndicadores(catalogue);
    QWidget* strip = child<QWidget>(QStringLiteral("Picture2"));
    for (int k = 1; k <= 27; ++k) {
        chooseIndicator(k);
        const QImage image = strip->grab().toImage();
        const indicators::Indicator& indicator = catalogue.table[k];
        const auto rgb = [](indicators::Colour c) {
            return QColor(c & 0xff, (c >> 8) & 0xff, c >> 16);
        };
        QCOMPARE(image.pixelColor(0, image.height() / 2), rgb(indicator.acidColour));
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() / 2),
                 rgb(indicator.basicColour));
    }
}

void TestInputPage::rangeTextsAndFluorescentNote_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("acid");
    QTest::addColumn<QString>("basic");
    QTest::addColumn<bool>("fluorescent");

    QTest::newRow("esculin") << 18 << "1"
                             << "1.5"
                             << "pale indigo (acid)"
                             << "strong blue (basic)" << true;
    QTest::newRow("methyl violet: zero restored") << 16 << "0.1"
                                                  << "1.6"
                                                  << "yellow (acid)"
                                                  << "blue (basic)" << false;
    QTest::newRow("alizarin yellow R") << 1 << "10.1"
                                       << "12"
                                       << "yellow (acid)"
                                       << "brown yellow (basic)" << false;
}

void TestInputPage::rangeTextsAndFluorescentNote()
{
    QFETCH(int, position);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, acid);
    QFETCH(QString, basic);
    QFETCH(bool, fluorescent);

    chooseType(0);
    chooseIndicator(27); // a fluorescent one first: an ordinary choice must hide the note
    chooseIndicator(position);
    QCOMPARE(label(QStringLiteral("Label5(2)"))->text(), low);
    QCOMPARE(label(QStringLiteral("Label5(3)"))->text(), high);
    QCOMPARE(label(QStringLiteral("Label5(0)"))->text(), acid);
    QCOMPARE(label(QStringLiteral("Label5(1)"))->text(), basic);
    QCOMPARE(label(QStringLiteral("Label5(13)"))->isVisible(), fluorescent);

    // Each range text centred over its pH on the strip, each marker on it.
    const QRect strip = child<QWidget>(QStringLiteral("Picture2"))->geometry();
    const auto xOf = [&](const QString& text) {
        return strip.left() + strip.width() * text.toDouble() / 14.0;
    };
    const auto centreOf = [&](const char* name) {
        const QLabel* l = label(QString::fromLatin1(name));
        return l->x() + l->width() / 2.0;
    };
    QVERIFY(qAbs(centreOf("Label5(2)") - xOf(low)) <= 0.5);
    QVERIFY(qAbs(centreOf("Label5(3)") - xOf(high)) <= 0.5);
    QVERIFY(qAbs(child<Shape>(QStringLiteral("Shape4(7)"))->x() + 1 - xOf(low)) <= 0.5);
    QVERIFY(qAbs(child<Shape>(QStringLiteral("Shape4(8)"))->x() + 1 - xOf(high)) <= 0.5);
}

void TestInputPage::noIndicatorClearsThePanel()
{
    chooseType(2);
    enter(QStringLiteral("TxCBur"), QStringLiteral("0.1"));
    enter(QStringLiteral("TxVErl"), QStringLiteral("25"));
    enter(QStringLiteral("TxCErl"), QStringLiteral("0.1"));
    chooseIndicator(18);
    QVERIFY(label(QStringLiteral("Label5(10)"))->isVisible());
    QVERIFY(child<Shape>(QStringLiteral("ShErlem"))->fillColour() != QColor(Qt::white));

    chooseIndicator(0);
    for (int i : {0, 1, 2, 3})
        QCOMPARE(label(QStringLiteral("Label5(%1)").arg(i))->text(), QString());
    QCOMPARE(window_->curvePage()->findChild<QLabel*>(QStringLiteral("Label5(11)"))->text(),
             QString());
    QVERIFY(!label(QStringLiteral("Label5(13)"))->isVisible());
    QVERIFY(!child<Shape>(QStringLiteral("Shape4(7)"))->isVisible());
    QVERIFY(!child<Shape>(QStringLiteral("Shape4(8)"))->isVisible());
    QVERIFY(!label(QStringLiteral("Label5(10)"))->isVisible());
    QCOMPARE(child<Shape>(QStringLiteral("ShErlem"))->fillColour(), QColor(Qt::white));
    const QImage strip = child<QWidget>(QStringLiteral("Picture2"))->grab().toImage();
    QCOMPARE(strip.pixelColor(strip.width() / 2, strip.height() / 2), QColor(Qt::white));
    QCOMPARE(label(QStringLiteral("LblpHErl"))->text(), QStringLiteral("pH = 13"));
}

QTEST_MAIN(TestInputPage)
#include "tst_inputpage.moc"
