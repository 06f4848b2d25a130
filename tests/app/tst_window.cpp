// The wiring of the window and the command line: typing, buttons, keys and menus reach the core,
// and what it returns reaches the page, clipboard, print service, file dialog and opener,
// whatever they do; the behaviour itself is tested in the libraries.
#include "app/chartpage.h"
#include "app/cli.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/platform.h"
#include "app/printcommand.h"
#include "app/tablepage.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace app;

namespace {

// Stand-ins for the desktop's services: a print service with the printers it is told (printing
// itself is tested in tst_print); a clipboard that can refuse; message boxes recorded instead
// of shown; an opener that records what it is asked to open and answers as told; a file dialog
// that answers as told.
struct FakePrintSystem : app::PrintSystem
{
    QStringList printers;
    QString defaultName;

    std::optional<app::PrinterAnswer> query() const override
    {
        if (printers.isEmpty())
            return std::nullopt;
        return app::PrinterAnswer{defaultName, printers.first()};
    }
    std::optional<app::PaperAnswer> paper(const QString&) const override { return {}; }
    std::optional<QString> submit(const QString&, const QString&, const QString&) const override
    {
        return std::nullopt;
    }
};
struct FakePlatform : app::Clipboard, app::MessageBoxes, app::Opener, app::FileDialogs
{
    bool refuseClipboard = false, openerFails = false;
    QString clipboard;
    QImage picture;
    QString saveAs, filter, suggested; ///< the dialog's answer and chosen filter; what it offered
    QStringList shown;                 ///< title, then text, of each message
    QList<QUrl> opened;
    FakePrintSystem printers;
    app::Platform platform{printers, *this, *this, *this, *this};

    bool setText(const QString& text) override
    {
        if (!refuseClipboard)
            clipboard = text;
        return !refuseClipboard;
    }
    bool setImage(const QImage& image) override
    {
        picture = image;
        return !refuseClipboard;
    }
    QString askSaveName(QWidget*, const QString&, const QString& offered, const QString&,
                        QString* chosen) override
    {
        suggested = offered;
        if (!filter.isEmpty())
            *chosen = filter;
        return saveAs;
    }
    void show(QWidget*, Icon, const QString& title, const QString& text) override
    {
        shown << title << text;
    }
    void open(const QUrl& target, QObject*, std::function<void(bool)> done) override
    {
        opened.append(target);
        done(!openerFails);
    }
};

struct Outcome
{
    int status;
    std::string out, err;
};

Outcome acidora(const QString& arguments)
{
    const cli::Request request =
        cli::parse(QStringList{"acidora"} + arguments.split(' ', Qt::SkipEmptyParts));
    if (!request.options)
        return {request.usageError ? 2 : 0, request.text.toStdString(), {}};
    std::ostringstream out, err;
    const int status = cli::run(*request.options, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tableCopyAndCurve();
    void saveAndCopyFromEachPage();
    void keyboardAndScreenReader();
    void helpCommands();
    void realOpenerReadsExitStatus();
    void commandLineReport();
    void commandLineRefusals();
    void commandLinePHAndCharts();

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
    std::unique_ptr<FakePlatform> fake_;
    std::unique_ptr<FormMain> window_;
};

void TestWindow::init()
{
    window_.reset();
    fake_ = std::make_unique<FakePlatform>();
    fake_->printers.printers = {QStringLiteral("<b>TestPDF</b>")};
    fake_->printers.defaultName = QStringLiteral("<b>TestPDF</b>");
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
    press('c'); // twice the screen's size
    QCOMPARE(fake_->picture.size(), QSize(1536, 952));
    // The name follows the title; without an extension, the chosen filter's is added.
    fake_->saveAs = dir_.filePath(QStringLiteral("curve"));
    fake_->filter = QStringLiteral("SVG picture (*.svg)");
    press('s');
    QVERIFY(fake_->suggested.endsWith("/Titration of weak acid with strong base.pdf"));
    QVERIFY(saved("curve.svg").startsWith("<?xml"));
    // The extension typed wins over the filter; the folder is remembered.
    fake_->saveAs = dir_.filePath(QStringLiteral("curve.png"));
    child<QAction>("mnu_SavePicture")->trigger();
    QCOMPARE(QImage::fromData(saved("curve.png")).size(), QSize(1536, 952));
    QCOMPARE(QFileInfo(fake_->suggested).absolutePath(), dir_.path());

    click("Image4");
    fake_->filter.clear();
    for (const char* name : {"table.txt", "table.csv"}) {
        fake_->saveAs = dir_.filePath(QString::fromLatin1(name));
        press('s');
    }
    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/weak-acid.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(saved("table.txt"), expected.readAll()); // the clipboard's bytes
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
    QCOMPARE(child<QWidget>("Image4")->toolTip(), QStringLiteral("Table & results (Alt+T)"));
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

void TestWindow::helpCommands()
{
    // A menu item or F1 in an input box; the manual there; the opener fails; what it is told.
    const std::tuple<const char*, bool, bool, QStringList> cases[] = {
        {"mnu_Ayuda_Manual", true, false, {}},
        {"F1", false, false, {"Error", "Can't find/open file " + FormMain::manualPath()}},
        {"mnu_Ayuda_DONATE",
         false,
         true,
         {"Acidora", "Sorry, cannot connect to www.lumbrix.example"}}};
    for (const auto& [command, manualThere, openerFails, message] : cases) {
        fake_->openerFails = openerFails;
        fake_->opened.clear();
        fake_->shown.clear();
        QFile manual(FormMain::manualPath());
        QVERIFY(!manualThere || manual.open(QIODevice::WriteOnly));
        if (command == std::string("F1"))
            QTest::keyClick(child<QLineEdit>("TxCBur"), Qt::Key_F1);
        else
            child<QAction>(command)->trigger();
        manual.remove();
        QCOMPARE(fake_->opened.value(0).toString(),
                 manualThere   ? QUrl::fromLocalFile(FormMain::manualPath()).toString()
                 : openerFails ? "http://www.lumbrix.example/donate.html"
                               : QString());
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

void TestWindow::commandLineReport()
{
    // The worked examples as the window copies them, line feeds for CR LF unless asked; the
    // indicator by name (in any case) or number.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"strong-acid", "strong-acid --titrant 0.1 --analyte 0.2 --analyte-volume 12.3 --indicator 3"},
        {"weak-acid", "weak-acid --titrant 0.1 --analyte 0,1 --analyte-volume 25 --ka 1.8E-5 --indicator PHENOLPHTHALEIN"},
        {"strong-base", "strong-base --titrant 0.1 --analyte 0.1 --analyte-volume 25 --indicator 6 --crlf"},
        {"weak-base", "weak-base --titrant 0.1 --analyte 0.1 --analyte-volume 25 --kb 1.8E-5 --indicator 12"}};
    // clang-format on
    for (const auto& [file, arguments] : cases) {
        QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/%1.txt").arg(file));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QByteArray copy = expected.readAll(), lf = QByteArray(copy).replace("\r\n", "\n");
        const Outcome o = acidora(QStringLiteral("--report --titration ") + arguments);
        QVERIFY(o.status == 0 &&
                o.out == (QString(arguments).contains("crlf") ? copy : lf).toStdString());
    }
    const std::string both =
        acidora("--report --csv --titration strong-acid --titrant 1 --analyte 1 --analyte-volume 5")
            .out;
    QVERIFY(both.find("\nNo indicator\n") < both.find("Volume (mL),pH\r\n0.00,0.00\r\n1.0"));
}

void TestWindow::commandLineRefusals()
{
    const QString good = "--report --titration weak-acid --titrant 0.1 --analyte 0.1 ";
    // clang-format off
    const std::tuple<QString, int, const char*> cases[] = {
        {good + "--analyte-volume 25 --ka 1", 1, "the Ka 1 is outside 1E-14 to 1, both excluded"},
        {good + "--analyte-volume 25", 1, "a weak acid needs --ka"},
        {good + "--analyte-volume 4.99 --ka 1e-5", 1, "the equivalence volume 4.99 mL is outside 5 to 300 mL"},
        {good + "--analyte-volume 601 --ka 1e-5", 1, "the analyte volume 601 is outside 2.5 to 600 mL"},
        {"--csv --titration strong-base --titrant 11 --analyte 0.1 --analyte-volume 25", 1, "the titrant concentration 11 is outside 1E-06 to 10 mol/L"},
        {"--csv --titration weak-base --titrant 0.1 --analyte 0 --analyte-volume 25", 1, "the analyte concentration 0 is outside 1E-06 to 10 mol/L"},
        {"--csv --titration strong-base --titrant 0.1 --analyte 0.1", 1, "--analyte-volume is missing"},
        {"--csv --titrant 0.1", 1, "--titration is missing"},
        {"--bogus", 2, "Unknown option 'bogus'."},
        {"--titration acid", 2, "unknown titration 'acid' (strong-acid, weak-acid, strong-base, weak-base)"},
        {"--indicator litmus2", 2, "unknown indicator 'litmus2'"},
        {"stray", 2, "unexpected argument 'stray'"}};
    // clang-format on
    for (const auto& [arguments, status, message] : cases) {
        const Outcome o = acidora(arguments);
        QCOMPARE(o.status, status);
        QCOMPARE(status == 1 ? o.err : o.out, (status == 1 ? "acidora: " : "") +
                                                  std::string(message) + (status == 1 ? "\n" : ""));
        QVERIFY(status == 2 || o.out.empty());
    }
    QCOMPARE(acidora("--version").out, std::string("Acidora 1.1\n"));
}

void TestWindow::commandLinePHAndCharts()
{
    const QString weakAcid =
        "--titration weak-acid --titrant 0.1 --analyte 0.1 --analyte-volume 25 --ka 1.8E-5 ";
    // Full precision: each line reads back as Get_pH's own double.
    std::istringstream ph(acidora(weakAcid + "--ph 0 --ph 25 --ph 12,5").out);
    for (double volume : {0.0, 25.0, 12.5}) {
        double printed = 0;
        QVERIFY(ph >> printed);
        QCOMPARE(printed, chem::Get_pH(chem::TitrationType::WeakAcidStrongBase,
                                       {0.1, 0.1, 25, 1.8e-5}, volume));
    }
    // Each format, by the real program with no display at all.
    QTemporaryDir dir;
    for (const char* name : {"curve.pdf", "curve.svg", "curve.png"}) {
        QProcess program;
        program.start("env",
                      QStringList{"-u", "DISPLAY", "-u", "QT_QPA_PLATFORM", ACIDORA_PROGRAM} +
                          (weakAcid + "--indicator 4 --chart " + dir.filePath(name)).split(' '));
        QVERIFY(program.waitForFinished(30000) && program.exitCode() == 0);
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(8);
        QVERIFY2(head.startsWith("%PDF") || head.startsWith("<?xml") || head.startsWith("\x89PNG"),
                 name);
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
