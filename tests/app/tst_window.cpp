// The wiring of the window: typing, buttons, keys and menus reach the core, and what it returns
// reaches the page, clipboard, print service, file dialog and opener, whatever they do.
#include "fakedesktop.h"

#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/readingschooser.h"
#include "app/tablepage.h"
#include "app/uihelpers.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <sys/stat.h>

using namespace app;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tableCopyAndCurve();
    void severalPointsAndBack();
    void saveAndCopyFromEachPage();
    void keyboardAndScreenReader();
    void mouseClicksLeaveTheFocus();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void constantBoxByName();
    void completionOnlyWhenChosen_data();
    void completionOnlyWhenChosen();
    void listOpenKeepsTheWindowsControls_data();
    void listOpenKeepsTheWindowsControls();
    void measuredDataMenu();
    void readingsFileChooser();
    void realSaveDialog_data();
    void realSaveDialog();
    void placement_data();
    void placement();
    void helpCommands();
    void realOpenerReadsExitStatus();

private:
    template <typename T> T* child(const char* name) const
    {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    /// The weak-acid example, as the command line gives it; the constant as given.
    void enterExample(const QString& constant)
    {
        window_->inputPage()->preset(chem::TitrationType::WeakAcidStrongBase,
                                     {"0.1", "25", "0,1", constant.toStdString()}, 4);
    }
    void click(const char* picture)
    {
        QTest::mouseClick(child<QWidget>(picture), Qt::LeftButton, {}, QPoint(10, 10));
    }
    void press(char key) { QTest::keyClick(window_.get(), key, Qt::ControlModifier); }

    QTemporaryDir dir_;
    std::unique_ptr<FakeDesktop> fake_;
    std::unique_ptr<FormMain> window_;
};

void TestWindow::init()
{
    window_.reset();
    fake_ = std::make_unique<FakeDesktop>();
    fake_->printer = QStringLiteral("<b>TestPDF</b>");
    window_ = std::make_unique<FormMain>(fake_->platform);
    window_->show();
    // The pages use the background query's latest answer.
    QTRY_VERIFY(window_->latestPrinter());
}

void TestWindow::tableCopyAndCurve()
{
    // Pasted, line break and all: rich text nested this deep kept the layout busy for minutes.
    const QString markup =
        QStringLiteral("1e-5<b>x</b>\n") + QStringLiteral("<TABLE><TR><TD>").repeated(25);
    enterExample(markup);
    click("Image4");
    QVERIFY(child<QLabel>("Label1(5)")->textFormat() == Qt::PlainText &&
            child<QLabel>("Label1(5)")->text() ==
                "  Acidity constant Ka = " + markup.toUpper().replace('\n', ' '));
    // The printer's name is shown as it is, markup and all.
    QCOMPARE(window_->tablePage()->printButton()->toolTip(),
             QStringLiteral("<p style='white-space:pre'>&lt;b&gt;TestPDF&lt;/b&gt;</p>"));
    fake_->refuseClipboard = true;
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QCOMPARE(fake_->shown.value(1),
             QStringLiteral("Sorry, the clipboard could not be set. Please try again."));
}

void TestWindow::severalPointsAndBack()
{
    enterExample(QStringLiteral("1.8E-5"));
    click("Image4");
    QApplication::processEvents(); // the table's scroll bars settle
    const QImage onePoint = window_->tablePage()->grab().toImage();
    // Three points: the column that scrolls stands in for the fixed labels, then goes.
    enterExample(QStringLiteral("phosphoric acid"));
    click("Image4");
    QVERIFY(child<QWidget>("ReportLines")->isVisible() && child<QLabel>("Label1(5)")->isHidden());
    enterExample(QStringLiteral("1.8E-5"));
    click("Image4");
    QApplication::processEvents();
    QVERIFY(child<QWidget>("ReportLines")->isHidden() &&
            window_->tablePage()->grab().toImage() == onePoint);
}

void TestWindow::saveAndCopyFromEachPage()
{
    QStandardPaths::setTestModeEnabled(true); // the remembered folder stays out of the user's
    QSettings().clear();
    enterExample(QStringLiteral("1.8E-5"));
    const auto saved = [this](const char* name) {
        QFile file(dir_.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // On the input page the keys keep their own meaning.
    fake_->saveAs = dir_.filePath(QStringLiteral("none.pdf"));
    press('c');
    press('s');
    QVERIFY(fake_->picture.isNull() && !QFile::exists(fake_->saveAs));

    click("Image5");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {50, 50}, {50, 50});
    QApplication::sendEvent(window_->curvePage(), &rightClick); // the chart's own menu
    QVERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
    press('c'); // twice the screen's size
    QCOMPARE(fake_->picture.size(), QSize(1536, 1000));
    QCOMPARE(QToolTip::text(), QStringLiteral("Copied"));
    // The name tells the titration and the page; the format follows the name.
    fake_->saveAs = dir_.filePath(QStringLiteral("curve.svg"));
    press('s');
    QVERIFY(fake_->suggested.endsWith("/weak acid 0.1 M 25 mL - curve.pdf"));
    QVERIFY(saved("curve.svg").startsWith("<?xml"));
    // The folder is remembered.
    fake_->saveAs = dir_.filePath(QStringLiteral("curve.png"));
    child<QAction>("mnu_SavePicture")->trigger();
    QCOMPARE(QImage::fromData(saved("curve.png")).size(), QSize(1536, 1000));
    QCOMPARE(QFileInfo(fake_->suggested).absolutePath(), dir_.path());

    click("Image4");
    for (const char* name : {"table.txt", "table.csv"}) {
        fake_->saveAs = dir_.filePath(QString::fromLatin1(name));
        press('s');
    }
    QVERIFY(fake_->suggested.endsWith("/weak acid 0.1 M 25 mL - results.pdf"));
    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/weak-acid.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const QByteArray copy = expected.readAll();
    QCOMPARE(saved("table.txt"), QByteArray(copy).replace("\r\n", "\n")); // the copy, LF
    // The page's menu copies what the Copy button copies; the text's menu keeps its own items.
    child<QAction>("mnu_CopyResults")->trigger();
    QCOMPARE(fake_->clipboard.toUtf8(), copy);
    std::unique_ptr<QMenu> menu(window_->tablePage()->textMenu({}));
    QStringList items;
    for (const QAction* a : menu->actions())
        items << a->text();
    QVERIFY2(items.first().contains("Copy") && items.filter("Select All").size() == 1 &&
                 items.last().startsWith("Save results as\u2026"),
             qPrintable(items.join('|')));
    QVERIFY(saved("table.csv").startsWith("Volume (mL),pH\r\n0.00,2.88\r\n"));
    // A cancelled dialog writes nothing; a failed write says why.
    fake_->saveAs.clear();
    press('s');
    QVERIFY(fake_->shown.isEmpty());
    fake_->saveAs = dir_.filePath(QStringLiteral("gone/table.pdf"));
    press('s');
    QCOMPARE(fake_->shown.value(0), QStringLiteral("Acidora"));
    QVERIFY(fake_->shown.value(1).startsWith("Sorry, " + fake_->saveAs + " could not be saved.\n"));
}

void TestWindow::keyboardAndScreenReader()
{
    enterExample(QStringLiteral("1.8E-5"));
    const auto accessible = [this](const char* name) {
        return QAccessible::queryAccessibleInterface(child<QWidget>(name));
    };
    // Role, name, and what the description says, as a screen reader reads them.
    const std::tuple<const char*, QAccessible::Role, const char*, const char*> controls[] = {
        {"ComboIND", QAccessible::ComboBox, "phenolphthalein", "Indicator"},
        {"FrameESQUEMA", QAccessible::Client, "Burette and flask", "Flask: weak acid, pH 2.876,"},
        {"Picture2", QAccessible::Client, "pH colour strip", "phenolphthalein: colourless up to"}};
    for (const auto& [name, role, text, description] : controls) {
        QAccessibleInterface* a = accessible(name);
        QVERIFY2(a && a->role() == role && a->text(QAccessible::Name) == text &&
                     a->text(QAccessible::Description).contains(description),
                 name);
    }
    // The commands' keys from inside an input box; each page starts the keyboard on itself.
    QTest::keyClick(child<QLineEdit>("TxKaKb"), Qt::Key_T, Qt::AltModifier);
    QVERIFY(window_->tablePage()->isVisible() &&
            QApplication::focusWidget() == child<QWidget>("Text1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->curvePage()->printButton());
    QVERIFY(accessible("Picture1")->text(QAccessible::Description).contains("point: 25 mL"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Option1(1)"));
    // Tab through the inputs to the commands, then Space presses one.
    QStringList order;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order.join(' '),
             QStringLiteral("TxCBur TxVErl TxCErl TxKaKb ComboIND Image3 Image4 Image5 Image6"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier); // Image5
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(window_->curvePage()->isVisible());
}

void TestWindow::mouseClicksLeaveTheFocus()
{
    std::map<QWidget*, QImage> plain; // each command as a mouse user sees it
    for (const char* name : {"Image3", "Image4", "Image5", "Image6"})
        plain[child<QWidget>(name)] = child<QWidget>(name)->grab().toImage();
    // A type chosen runs the refresh once; choosing it again runs it again.
    QSignalSpy refreshes(window_->inputPage(), &InputPage::refreshed);
    for (int clicks : {1, 2}) {
        QTest::mouseClick(child<QRadioButton>("Option1(0)"), Qt::LeftButton);
        QCOMPARE(refreshes.count(), clicks);
    }
    // "Input data" confirms nothing half typed.
    auto* box = child<QLineEdit>("TxCBur");
    box->setFocus();
    QTest::keyClicks(box, "0.1");
    click("Image3");
    QVERIFY(box->hasFocus() && refreshes.count() == 2);
    // A refused curve hides the box; the command the focus falls to looks as it did.
    click("Image5");
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(plain.count(focused) && focused->grab().toImage() == plain[focused]);
    QTest::keyClick(focused, Qt::Key_Tab); // the keyboard in use: the frame shows
    focused = QApplication::focusWidget();
    QVERIFY(plain.count(focused) && focused->grab().toImage() != plain[focused]);
}

void TestWindow::refusalsSayWhy_data()
{
    QTest::addColumn<QString>("titrant");
    QTest::addColumn<QString>("constant");
    QTest::addColumn<QString>("box"); ///< the box that tells why in its tool tip, if any
    QTest::addColumn<QString>("reason");
    // clang-format off
    QTest::newRow("a box refused") << "0.1" << "2" << "TxKaKb" << "The Ka 2 is outside 1E-14 to 1, both excluded.";
    QTest::newRow("the titration refused") << "0.001" << "1.8E-5" << "" << "The equivalence volume 2500 mL is outside 5 to 300 mL.";
    // clang-format on
}

void TestWindow::refusalsSayWhy()
{
    QFETCH(QString, titrant);
    QFETCH(QString, constant);
    QFETCH(QString, box);
    QFETCH(QString, reason);
    window_->inputPage()->preset(chem::TitrationType::WeakAcidStrongBase,
                                 {titrant.toStdString(), "25", "0.1", constant.toStdString()}, 4);
    for (const char* name : {"TxCBur", "TxVErl", "TxCErl", "TxKaKb"})
        QCOMPARE(child<QLineEdit>(name)->accessibleDescription(), name == box ? reason : "");
    auto* note = child<QLabel>("RefusalNote");
    for (const char* command : {"Image4", "Image5"}) {
        click(command);
        QVERIFY(note->isVisible() && note->text() == reason);
    }
    QVERIFY(!child<QWidget>("CmdCopiar")->isVisible()); // nothing to copy
    click("Image3");
    QVERIFY(!note->isVisible() &&
            child<QLineEdit>("TxKaKb")->toolTip() == (box.isEmpty() ? "" : reason));
}

void TestWindow::constantBoxByName()
{
    // Typed: the list's first entry, chosen ("" for no list); the refusal, else pH, verdict and
    // what the box's description says of the name.
    // clang-format off
    const std::tuple<const char*, chem::TitrationType, QString, QString, QString> cases[] = {
        {"a name's start: the acid offered", chem::TitrationType::WeakAcidStrongBase, "phosph", "phosphoric acid \u2014 H3PO4 \u2014 pKa 2.15, 7.2, 12.38", "pH = 1.632, Very appropriate: point 2 | phosphoric acid (H3PO4), pKa 2.148, 7.198"},
        {"a name's start before a match inside", chem::TitrationType::WeakAcidStrongBase, "ox", "oxalic acid \u2014 H2C2O4 \u2014 pKa 1.27, 4.27", "pH = 1.29"},
        {"a formula: the base it names", chem::TitrationType::WeakBaseStrongAcid, "na2co", "sodium carbonate \u2014 Na2CO3 \u2014 pKa 6.35, 10.33", "pH = 11.655, Inappropriate"},
        {"a number is no name, though formulas hold digits", chem::TitrationType::WeakAcidStrongBase, "2", "", "The Ka 2 is outside 1E-14 to 1, both excluded."},
        {"an acid is not offered for a base", chem::TitrationType::WeakBaseStrongAcid, "phosphoric acid", "", "Phosphoric acid is an acid, titrated with a base."},
        {"an unknown name: the nearest ones", chem::TitrationType::WeakAcidStrongBase, "vinegar", "", "'vinegar' is not in the substance library (nearest: "}};
    // clang-format on
    for (const auto& [what, type, typed, offered, shown] : cases) {
        window_->inputPage()->preset(type, {"0.1", "25", "0.1", ""}, 4);
        auto* box = child<QLineEdit>("TxKaKb");
        box->setFocus();
        QSignalSpy refreshes(window_->inputPage(), &InputPage::refreshed);
        QTest::keyClicks(box, typed); // confirms nothing; then Down and Enter choose, or Enter
        auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
        QVERIFY2(refreshes.isEmpty() && (list ? list->model()->index(0, 0).data() : "") == offered,
                 what);
        if (list)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list ? static_cast<QWidget*>(list) : box, Qt::Key_Return);
        QVERIFY(!refreshes.isEmpty() && !QApplication::activePopupWidget() && box->hasFocus());
        const QString schematic =
            child<QLabel>("LblpHErl")->text() + ", " + child<QLabel>("Label5(10)")->text();
        // A refusal, or what the accepted name stands for, is the box's description.
        const QString said = box->accessibleDescription();
        QVERIFY2((shown.startsWith("pH") ? schematic + " | " + said : said).startsWith(shown),
                 qPrintable(what + (": " + said + " / " + schematic)));
        QCOMPARE(box->toolTip().isEmpty(), said.isEmpty());
    }
}

void TestWindow::completionOnlyWhenChosen_data()
{
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("choice"); ///< what the user does with the list open
    QTest::addColumn<QString>("text");   ///< the box's text after it
    QTest::addColumn<QString>("pH");     ///< the flask's pH as the refresh shows it, "" refused
    const auto acid = chem::TitrationType::WeakAcidStrongBase;
    const auto base = chem::TitrationType::WeakBaseStrongAcid;
    // clang-format off
    QTest::newRow("a letter and Enter: the letter, refused") << acid << "e" << "Enter" << "e" << "";
    QTest::newRow("a letter and Enter for a base: the letter") << base << "a" << "Enter" << "a" << "";
    QTest::newRow("Down and Enter: the entry in view") << acid << "e" << "Down Enter" << "edta" << "pH = 1.543";
    QTest::newRow("a click on an entry") << base << "a" << "Click" << "ammonia" << "pH = 11.122";
    // clang-format on
}

void TestWindow::completionOnlyWhenChosen()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, typed);
    QFETCH(QString, choice);
    QFETCH(QString, text);
    QFETCH(QString, pH);
    window_->inputPage()->preset(type, {"0.1", "25", "0.1", ""}, 4);
    auto* box = child<QLineEdit>("TxKaKb");
    box->setFocus();
    QTest::keyClicks(box, typed);
    auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
    QVERIFY(list);
    QSignalSpy refreshes(window_->inputPage(), &InputPage::refreshed);
    if (choice == "Click") {
        const QModelIndex first = list->model()->index(0, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
    } else {
        for (const QString& key : choice.split(' '))
            QTest::keyClick(list, key == "Down" ? Qt::Key_Down : Qt::Key_Return);
    }
    QVERIFY(!refreshes.isEmpty() && !QApplication::activePopupWidget());
    QCOMPARE(box->text(), text);
    QCOMPARE(child<QLabel>("LblpHErl")->text(), pH);
}

void TestWindow::listOpenKeepsTheWindowsControls_data()
{
    QTest::addColumn<QString>("action"); ///< a command's picture clicked, or a key
    QTest::addColumn<QString>("page");   ///< the page shown after it, "" for the window closed
    QTest::newRow("Table & results on the first click") << "Image4"
                                                        << "table";
    QTest::newRow("Curve on the first click") << "Image5"
                                              << "curve";
    QTest::newRow("Esc closes the window") << "Esc"
                                           << "";
}

void TestWindow::listOpenKeepsTheWindowsControls()
{
    QFETCH(QString, action);
    QFETCH(QString, page);
    enterExample(QString());
    auto* box = child<QLineEdit>("TxKaKb");
    box->setFocus();
    QTest::keyClicks(box, "acetic acid");
    QWidget* list = QApplication::activePopupWidget();
    QVERIFY(list);
    if (action == "Esc") {
        QTest::keyClick(list, Qt::Key_Escape);
    } else {
        // Through the window, as the display delivers it: the open list gets the press first.
        const QPoint at = child<QWidget>(qPrintable(action))->mapTo(window_.get(), QPoint(10, 10));
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, at);
    }
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(window_->isVisible(), !page.isEmpty());
    QCOMPARE(window_->tablePage()->isVisible(), page == "table");
    QCOMPARE(window_->curvePage()->isVisible(), page == "curve");
    // The command ran on the typed name: acetic acid's Ka.
    if (page == "table")
        QVERIFY(child<QLabel>("Label1(5)")->text().contains("Ka = 1.75E-5"));
}

void TestWindow::measuredDataMenu()
{
    enterExample(QStringLiteral("1.8E-5"));
    click("Image5");
    ChartPage* page = window_->curvePage();
    const auto said = [page] { return page->accessibleDescription(); };
    const auto trigger = [this](const char* name) { child<QAction>(name)->trigger(); };
    // A bad file: the reader's reason, and nothing shown changes.
    const QImage model = page->picture();
    QFile bad(dir_.filePath(QStringLiteral("bad.csv")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("0 3\n1 x\n") > 0);
    bad.close();
    fake_->openName = bad.fileName();
    trigger("mnu_OpenData");
    QTRY_VERIFY(fake_->shown.value(1).contains("line 2"));
    QVERIFY(page->picture() == model);
    // A file dropped on the chart: the readings at once, the fitted curve when the analysis off
    // the window's thread is done.
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-lab.csv")});
    QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(page, &enter); // the drop goes where the drag was accepted
    QApplication::sendEvent(page, &drop);
    QTRY_VERIFY(said().contains("46 readings: acetic-acid-lab.csv."));
    QTRY_VERIFY(said().contains("Fitted curve, dashed") &&
                child<QAction>("mnu_UseFitted")->isEnabled());
    trigger("mnu_KeepCurve");
    QVERIFY(said().contains("Kept curve: curve 2.")); // the shown one is curve 1
    trigger("mnu_ClearKept");
    QVERIFY(!said().contains("Kept curve") && !child<QAction>("mnu_ClearKept")->isEnabled());
    trigger("mnu_Derivative");
    QVERIFY(said().contains("Derivative of the curve (dpH/dV) on the right axis"));
    trigger("mnu_Derivative");
    QVERIFY(!said().contains("right axis"));
    // The readout starts mid-axis; Shift makes the step a tenth.
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Right);
    QTest::keyClick(page, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(page->readout(), QStringLiteral("25.05 mL, pH 10.00; reading 25 mL, pH 8.72"));
    // The section follows the table in the copied results.
    click("Image4");
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QVERIFY(fake_->clipboard.contains(QStringLiteral("12.52\r\n\r\nMeasured data:\r\n")));
    click("Image5");
    trigger("mnu_UseFitted");
    QVERIFY(child<QLineEdit>("TxCErl")->text().startsWith(QStringLiteral("0.1")) &&
            child<QLineEdit>("TxCErl")->text() != QStringLiteral("0,1"));
    // Activities from the menu: the report computed with them says so.
    trigger("mnu_Activities");
    click("Image4");
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QVERIFY(fake_->clipboard.contains(QStringLiteral("Activities by the Davies equation")));
}

void TestWindow::readingsFileChooser()
{
    enterExample(QStringLiteral("1.8E-5"));
    click("Image5");
    const auto said = [this] { return window_->curvePage()->accessibleDescription(); };
    // A FIFO without a writer: refused in the system's words, never waited on.
    const QString fifo = dir_.filePath(QStringLiteral("meter"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    fake_->openName = fifo;
    child<QAction>("mnu_OpenData")->trigger();
    QTRY_VERIFY(fake_->shown.value(1).endsWith("not a regular file (a named pipe)"));
    // A data logger's two runs: the chooser asks, by keyboard; Esc keeps what was shown.
    fake_->openName = QStringLiteral(ACIDORA_SOURCE_DIR "/docs/examples/acetic-acid-logger.csv");
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        int volumeColumn = -1;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* chooser = qobject_cast<ReadingsChooser*>(QApplication::activeModalWidget());
            if (!chooser)
                return;
            answer.stop();
            if (key == Qt::Key_Return)
                QTest::keyClick(chooser->findChild<QListWidget*>("runs"), Qt::Key_Down); // run 2
            volumeColumn = chooser->findChild<QComboBox*>("volumeColumn")->currentIndex();
            QTest::keyClick(chooser, Qt::Key(key));
        });
        answer.start(10);
        child<QAction>("mnu_OpenData")->trigger();
        QTRY_COMPARE(volumeColumn, key == Qt::Key_Return ? 6 : 2); // the run's volume column
        QTest::qWait(50); // time for a reading that Esc should have prevented
        QTRY_VERIFY(said().contains("41 readings: acetic-acid-logger.csv."));
    }
}

void TestWindow::realSaveDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("written"); ///< "" when the user declines to replace it
    // clang-format off
    QTest::newRow("no extension: the filter's, and the question covers it") << "results" << "results.pdf" << "";
    QTest::newRow("an unknown suffix: the filter's added, asked too") << "results.v2" << "results.v2.pdf" << "";
    QTest::newRow("a new name, its extension added") << "new" << "" << "new.pdf";
    QTest::newRow("a known extension typed wins") << "new.txt" << "" << "new.txt";
    // clang-format on
}

void TestWindow::realSaveDialog()
{
    QFETCH(QString, typed);
    QFETCH(QString, existing);
    QFETCH(QString, written);
    QTemporaryDir dir;
    if (!existing.isEmpty()) {
        QFile old(dir.filePath(existing));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    // The user: types the name and presses Save, answers No to a question, then cancels.
    QString question;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (!question.isEmpty())
                return dialog->reject();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    user.start(20);
    const QString name = QtFileDialogs().askSaveName(
        nullptr, QStringLiteral("Save results as"), dir.filePath(QStringLiteral("x.pdf")),
        {{QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf")},
         {QStringLiteral("Text (*.txt)"), QStringLiteral("txt")}});
    QCOMPARE(QFileInfo(name).fileName(), written);
    QCOMPARE(question.startsWith(existing + " already exists."), !existing.isEmpty());
}

void TestWindow::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("room enough: centred") << QRect(0, 0, 1280, 1024) << QPoint(253, 239);
    QTest::newRow("smaller screen, panel above: the top-left corner on it")
        << QRect(100, 30, 640, 480) << QPoint(100, 30);
}

void TestWindow::placement()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, topLeft);
    QCOMPARE(placeOnScreen(available, FormMain::kClientSize), topLeft);
}

void TestWindow::helpCommands()
{
    // A menu item or F1 in an input box; the manual there; the opener fails; what it opens and
    // what the user is told.
    const QString manual = FormMain::manualPath();
    // clang-format off
    const std::tuple<const char*, bool, bool, QString, QStringList> cases[] = {
        {"mnu_Ayuda_Manual", true, false, QUrl::fromLocalFile(manual).toString(), {}},
        {"F1", false, false, "", {"Error", "Can't find/open file " + manual}},
        {"mnu_Ayuda_DONATE", false, true, "http://www.lumbrix.example/donate.html", {"Acidora", "Sorry, cannot connect to www.lumbrix.example"}}};
    // clang-format on
    for (const auto& [command, manualThere, openerFails, opened, message] : cases) {
        fake_->openerFails = openerFails;
        fake_->opened.clear();
        fake_->shown.clear();
        QFile file(manual);
        QVERIFY(!manualThere || file.open(QIODevice::WriteOnly));
        if (command == std::string("F1"))
            QTest::keyClick(child<QLineEdit>("TxCBur"), Qt::Key_F1);
        else
            child<QAction>(command)->trigger();
        file.remove();
        QCOMPARE(fake_->opened.value(0).toString(), opened);
        QCOMPARE(fake_->shown, message);
    }
}

void TestWindow::realOpenerReadsExitStatus()
{
    // Only an opener that ran and succeeded, on something that exists, has opened it.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"true", "http://example.org", true},
        {"false", "http://example.org", false},
        {"true", "file:///nonexistent/Manual.pdf", false}};
    for (const auto& [program, target, opened] : cases) {
        std::optional<bool> answer;
        QtOpener(program).open(QUrl(target), this, [&](bool ok) { answer = ok; });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(*answer, opened);
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
