#include "app/formmain.h"

#include "app/appinfo.h"
#include "app/chartpage.h"
#include "app/formsplash.h"
#include "app/inputpage.h"
#include "app/livemode.h"
#include "app/livepanel.h"
#include "app/picturebutton.h"
#include "app/platform.h"
#include "app/printcommand.h"
#include "app/readingschooser.h"
#include "app/readingsfile.h"
#include "app/saving.h"
#include "app/svgpicture.h"
#include "app/tablepage.h"
#include "app/teaching.h"
#include "app/uihelpers.h"
#include "indicators/indicatorpanel.h"
#include "lab/measured.h"
#include "output/writers.h"
#include "report/captions.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace app {

FormMain::FormMain(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform), document_(catalogue_)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(kMainWindowTitle);
    setWindowIcon(applicationIcon());
    setFixedSize(kClientSize);
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setBackground(this, Qt::white);
    setFont(arial(15));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(placeOnScreen(screen->availableGeometry(), size()));

    // Load: header, help menu, catalogue and chooser, pages in their places.
    buildHeader();
    buildHelpMenu();
    InicializarIndicadores(catalogue_);
    buildPages();
    frameDAT_->RellenarComboIND();
    // Tab goes through the inputs, then the commands, then what the shown page offers.
    const char* const order[] = {
        "Option1(0)", "Option1(1)", "Option1(2)", "Option1(3)", "TxCBur",   "TxVErl",
        "TxCErl",     "TxKaKb",     "ComboIND",   "Image3",     "Image4",   "Image5",
        "Image6",     "Text1",      "CmdCopiar",  "CmdPRINT",   "Picture1", "CmdPRINT_CUR"};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(findChild<QWidget*>(QString::fromLatin1(order[i - 1])),
                    findChild<QWidget*>(QString::fromLatin1(order[i])));

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(500);
    connect(timer1_, &QTimer::timeout, this, &FormMain::Timer1_Timer);
    connect(&printerQuery_, &QFutureWatcher<std::optional<PrinterAnswer>>::finished, this, [this] {
        latestPrinter_ = printerQuery_.result();
        // With no printer installed the tool tips keep what they had.
        if (latestPrinter_) {
            frameTAB_->printButton()->setToolTip(plainToolTip(latestPrinter_->defaultName));
            picture1_->printButton()->setToolTip(plainToolTip(latestPrinter_->defaultName));
        }
    });
    timer1_->start();
    Timer1_Timer(); // the first answer need not wait for the first tick
    connect(&analysis_, &QFutureWatcher<std::optional<lab::Measured>>::finished, this, [this] {
        // The watcher follows the newest request only; an older one's answer never lands here.
        if (!analysis_.future().isFinished() || !running_)
            return;
        const std::uint64_t revision = *std::exchange(running_, std::nullopt);
        if (document_.deliverAnalysis(revision, analysis_.result()))
            refreshShownPage();
    });

    connect(&readingsLoad_, &QFutureWatcher<LoadedReadings>::finished, this, [this] {
        if (readingsLoad_.future().isFinished() && readingsLoad_.future().resultCount() > 0)
            readingsLoaded(readingsLoad_.result());
    });

    live_ = new LiveMode(this, document_, platform_, *frameDAT_);
    connect(live_, &LiveMode::readingsChanged, this, &FormMain::refreshShownPage);
    connect(live_, &LiveMode::curveWanted, this, [this] { Image5_Click(false); });
    connect(live_, &LiveMode::readingsWanted, this,
            [this](const QString& path) { openReadings(path); });
    teaching_ = new Teaching(this, document_, platform_, *frameDAT_, *live_);
    connect(teaching_, &Teaching::truthShown, this, [this] { Image5_Click(false); });
    chartMenu_->addSeparator();
    chartMenu_->addMenu(teaching_->menu());

    // Key preview: the window sees keys before whichever control has the focus.
    qApp->installEventFilter(this);
}

FormMain::~FormMain()
{
    // A query still running is abandoned, not awaited: the program ends without it.
    qApp->removeEventFilter(this);
    // Hidden and rid of its input page while the document lives: a box that loses the focus
    // confirms its text, which is an edit of the document.
    hide();
    delete std::exchange(live_, nullptr); // a run taken stays unfinished in its file, to resume
    delete std::exchange(frameDAT_, nullptr);
}

void FormMain::buildHeader()
{
    struct Button
    {
        const char* name;
        const char* picture;
        QPoint rest;
        int frame;
        QPoint frameAt;
        const char* caption;
        const char* key; ///< with Alt, from anywhere in the window
        void (FormMain::*handler)(bool byKeyboard);
    };
    // Alt and the caption's initial: no text box or desktop takes these, and they are what a
    // menu bar would use, where a program has one.
    // clang-format off
    const Button buttons[] = {
        {"Image3", ":/art/button-input.svg", {16, 20}, 2, {14, 18}, "Input data", "I", &FormMain::Image3_Click},
        {"Image4", ":/art/button-table.svg", {170, 20}, 1, {168, 18}, "Table & results", "T", &FormMain::Image4_Click},
        {"Image5", ":/art/button-curve.svg", {322, 20}, 0, {320, 18}, "Curve", "C", &FormMain::Image5_Click},
        {"Image6", ":/art/button-help.svg", {617, 20}, 3, {615, 18}, "Help", "H", &FormMain::Image6_Click},
    };
    // clang-format on
    for (const Button& b : buttons)
        new SvgPicture(this, QStringLiteral("Image2(%1)").arg(b.frame),
                       QStringLiteral(":/art/button-frame.svg"), {b.frameAt, QSize(145, 29)});
    for (const Button& b : buttons) {
        auto* button =
            new PictureButton(this, QString::fromLatin1(b.name), QString::fromLatin1(b.picture),
                              b.rest, QString::fromLatin1(b.caption));
        button->setToolTip(QStringLiteral("%1 (Alt+%2)").arg(b.caption, b.key));
        commandKeys_.emplace(QKeySequence(QStringLiteral("Alt+") + b.key)[0].key(), button);
        connect(button, &PictureButton::clicked, this, b.handler);
    }
}

void FormMain::buildHelpMenu()
{
    mnu_Ayuda_ = new QMenu(QStringLiteral("Ayuda"), this);
    mnu_Ayuda_->setObjectName(QStringLiteral("mnu_Ayuda"));
    mnu_Ayuda_->setFont(arial(15));
    const std::pair<const char*, const char*> items[] = {
        {"mnu_Ayuda_Manual", "User's Manual (PDF document)..."},
        {"zep123", nullptr},
        {"mnu_Ayuda_WEB", "Lumbrix Software Home Page..."},
        {"mnu_Ayuda_DONATE", "Make a donation..."},
        {"mnu_Ayuda_Acerca", "About..."},
    };
    for (const auto& [name, caption] : items) {
        QAction* action = caption ? mnu_Ayuda_->addAction(QString::fromLatin1(caption))
                                  : mnu_Ayuda_->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
    }
    const QList<QAction*> actions = mnu_Ayuda_->actions();
    connect(actions[0], &QAction::triggered, this, &FormMain::mnu_Ayuda_Manual_Click);
    connect(actions[2], &QAction::triggered, this, [this] { openMakerPage(kHomePage); });
    connect(actions[3], &QAction::triggered, this, [this] { openMakerPage(kDonatePage); });
    connect(actions[4], &QAction::triggered, this, &FormMain::mnu_Ayuda_Acerca_Click);
}

QString FormMain::manualPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + kManualFileName;
}

void FormMain::mnu_Ayuda_Manual_Click()
{
    const QString path = manualPath();
    auto failed = [this, path] {
        platform_.messages.show(this, MessageBoxes::Icon::Exclamation, QStringLiteral("Error"),
                                QStringLiteral("Can't find/open file ") + path);
    };
    if (!QFileInfo::exists(path)) {
        failed();
        return;
    }
    platform_.opener.open(QUrl::fromLocalFile(path), this, [failed](bool opened) {
        if (!opened)
            failed();
    });
}

void FormMain::openMakerPage(const QString& address)
{
    platform_.opener.open(QUrl(address), this, [this](bool opened) {
        if (!opened)
            platform_.messages.show(this, MessageBoxes::Icon::Exclamation, kProgramName,
                                    QStringLiteral("Sorry, cannot connect to ") + kMakerHost);
    });
}

void FormMain::mnu_Ayuda_Acerca_Click()
{
    // The about window, modal and without its closing timer; closing it brings this window back.
    auto* about = new FormSplash(FormSplash::Role::About, platform_);
    about->setWindowModality(Qt::ApplicationModal);
    connect(about, &FormSplash::closing, this, [this] { activateWindow(); });
    about->show();
}

void FormMain::buildPages()
{
    frameDAT_ = new InputPage(this, document_);
    frameDAT_->move(13, 70);

    frameTAB_ = new TablePage(this, platform_);
    frameTAB_->move(11, 70);
    frameTAB_->hide();

    picture1_ = new ChartPage(this);
    picture1_->move(9, 69);
    picture1_->hide();
    auto* printCurve =
        new PrintCommand(picture1_->printButton(), platform_,
                         {QStringLiteral("Sorry, no printer"),
                          QStringLiteral("Sorry, the curve could not be printed."),
                          QStringLiteral("Acidora - titration curve")},
                         [this](QPagedPaintDevice& device) {
                             return shownChart_ && output::drawChartPage(device, *shownChart_);
                         });
    connect(picture1_->printButton(), &QPushButton::clicked, printCurve, &PrintCommand::start);

    connect(frameDAT_, &InputPage::indicatorCaptionChanged, picture1_->indicatorName(),
            &QLabel::setText);

    refusalNote_ = makeLabel(this, QStringLiteral("RefusalNote"), QString(), {24, 90, 726, 20},
                             arial(15), QColor(96, 96, 96));
    refusalNote_->hide();

    buildChartMenu();

    picture1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture1_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (chartShown())
            chartMenu_->popup(picture1_->mapToGlobal(at));
    });
    connect(picture1_, &ChartPage::fileDropped, this,
            [this](const QString& path) { openReadings(path); });
}

void FormMain::paintEvent(QPaintEvent*)
{
    // The header band, wider than the window; what lies beyond is clipped.
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, 791, 63), QColor(240, 240, 240));
    const std::pair<int, QColor> lines[] = {
        {63, QColor(140, 140, 140)}, {64, QColor(192, 192, 192)}, {65, QColor(240, 240, 240)}};
    for (const auto& [y, colour] : lines) {
        painter.setPen(colour);
        painter.drawLine(0, y, 790, y);
    }
}

bool FormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Saving and copying the shown page's content; elsewhere the keys keep their own meaning,
    // as Ctrl+C in an input box.
    const bool results = frameTAB_->isVisible();
    if (key->matches(QKeySequence::Save) && (results || chartShown())) {
        results ? frameTAB_->saveResults() : savePicture();
        return true;
    }
    if (key->matches(QKeySequence::Copy) && chartShown()) {
        copyPicture();
        return true;
    }
    if ((key->key() == Qt::Key_Menu ||
         (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) &&
        (results || chartShown())) {
        QWidget* page = results ? static_cast<QWidget*>(frameTAB_) : picture1_;
        const QPoint centre = page->mapToGlobal(page->rect().center());
        results ? frameTAB_->showMenu(centre) : chartMenu_->popup(centre);
        return true;
    }
    if (key->modifiers() == Qt::AltModifier && commandKeys_.contains(key->key())) {
        if (key->key() == Qt::Key_H)
            popupHelpMenu(true);
        else
            commandKeys_.at(key->key())->click();
        return true;
    }
    if (key->key() == Qt::Key_L && key->modifiers() == Qt::ControlModifier) {
        live_->open();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_F1:
        mnu_Ayuda_Manual_Click();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void FormMain::changeEvent(QEvent* event)
{
    // Becoming active again puts back the normal pointer.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    QWidget::changeEvent(event);
}

void FormMain::showRefusal(const std::optional<indicators::Refusal>& refusal)
{
    refusalNote_->setVisible(refusal.has_value());
    if (!refusal)
        return;
    refusalNote_->setText(QString::fromStdString(indicators::sentence(*refusal)));
    refusalNote_->raise();
    // A screen reader says it as it appears.
    QAccessibleEvent event(refusalNote_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void FormMain::Image3_Click(bool byKeyboard)
{
    showRefusal(std::nullopt);
    frameDAT_->show();
    picture1_->hide();
    frameTAB_->hide();
    // A click leaves the focus where it is: taking it from a box would confirm what is typed
    // there. From the keyboard, the page's first control takes it.
    if (byKeyboard)
        frameDAT_->firstControl()->setFocus();
}

void FormMain::Image4_Click(bool)
{
    picture1_->title()->clear();
    shownChart_.reset();
    frameDAT_->hide();
    picture1_->hide();
    frameTAB_->hide();
    QPushButton* print = frameTAB_->printButton();
    print->hide();

    // The run starts from freshly read inputs; a refusal leaves every page hidden.
    frameDAT_->ActualizarColor_pH();
    if (!showSessionReport())
        return;

    // The latest answer (which also named it in the tool tip), never a new question: the page
    // shows at once whatever the print service does.
    print->setVisible(latestPrinter_.has_value());
    frameTAB_->show();
    frameTAB_->firstControl()->setFocus();
}

bool FormMain::showSessionReport()
{
    const session::Outcome& o = outcome();
    showRefusal(o.refusal);
    if (!o.report)
        return false;
    std::vector<std::string> measured;
    if (o.measured)
        measured = lab::measuredSection(*o.measured);
    else
        analyseReadings(); // the section joins the page when the analysis is done
    frameTAB_->showReport(*o.report,
                          QString::fromStdString(report::titrationFileStem(
                              *session().type, o.schematic.inputs, o.schematic.constants)),
                          std::move(measured));
    return true;
}

void FormMain::analyseReadings()
{
    const std::optional<session::Document::AnalysisJob> job = document_.analysisJob(running_);
    if (!job)
        return;
    running_ = job->analysisRevision;
    analysis_.setFuture(QtConcurrent::run(
        [job = *job] { return session::Document::analyse(job, indicators::filledCatalogue()); }));
}

void FormMain::refreshShownPage()
{
    if (chartShown())
        drawSessionChart();
    else if (frameTAB_->isVisible())
        showSessionReport();
    updateChartMenu();
}

void FormMain::updateChartMenu()
{
    const session::Session& s = session();
    const bool readings = s.readings.has_value();
    const bool fitted =
        readings && document_.analysisCurrent() && outcome().measured && outcome().measured->fit;
    clearKept_->setEnabled(!s.kept.empty());
    useFitted_->setEnabled(fitted);
    fitPKa_->setEnabled(readings && s.type && chem::isWeak(*s.type));
    derivative_->setChecked(s.showDerivative);
    fitPKa_->setChecked(s.fitPKa);
    fitOffset_->setEnabled(readings);
    fitOffset_->setChecked(s.fitOffset);
    activities_->setChecked(s.activity == chem::ActivityModel::Davies);
}

void FormMain::open(const session::Session& setup)
{
    // Only what was given: an empty start leaves the page as a new window shows it.
    if (setup.type || setup.indicatorPosition != 0 || setup.boxes != report::BoxTexts{})
        frameDAT_->preset(setup.type, setup.boxes, setup.indicatorPosition);
    document_.setFitPKa(setup.fitPKa);
    document_.setFitOffset(setup.fitOffset);
    document_.setActivity(setup.activity);
}

bool FormMain::startLive(const LiveChoice& choice)
{
    return live_->start(choice);
}

void FormMain::offerUnfinishedRuns()
{
    live_->offerUnfinishedRuns();
}

LivePanel* FormMain::livePanel() const
{
    return live_->panel();
}

void FormMain::openReadings(const QString& path, const lab::ReadOptions& options)
{
    // Off the window's thread, so that a slow disk never stops the window; a newer open
    // replaces a pending one, whose answer is dropped.
    readingsLoad_.setFuture(QtConcurrent::run([path, options] {
        LoadedReadings loaded = loadReadings(path);
        if (!loaded.bytes.isEmpty() &&
            (options.volume.given() || options.pH.given() || options.run > 0))
            return rereadReadings(std::move(loaded), options);
        return loaded;
    }));
}

void FormMain::readingsLoaded(LoadedReadings loaded)
{
    const lab::ReadingsLayout& layout = loaded.read.layout;
    const QString name = QFileInfo(loaded.path).fileName();
    // A question only where the file leaves one: several runs, or columns the headers do not
    // name; Esc leaves what was shown.
    if (!loaded.chosen && !loaded.bytes.isEmpty() &&
        (layout.runs.size() > 1 || (!layout.settled && layout.columns > 2))) {
        ReadingsChooser chooser(loaded.bytes, layout, this);
        chooser.setWindowTitle(tr("Measured data: %1").arg(name));
        if (chooser.exec() != QDialog::Accepted)
            return;
        readingsLoad_.setFuture(
            QtConcurrent::run([loaded = std::move(loaded), options = chooser.options()]() mutable {
                return rereadReadings(std::move(loaded), options);
            }));
        return;
    }
    chem::Result<lab::Readings>& read = loaded.read.readings;
    if (!read) {
        platform_.messages.show(this, MessageBoxes::Icon::Exclamation, kProgramName,
                                QStringLiteral("The measured data in %1 cannot be opened: %2")
                                    .arg(name, QString::fromStdString(read.failure)));
        return;
    }
    document_.setReadings(std::move(read.value), name.toStdString());
    refreshShownPage();
}

void FormMain::openReadingsFromDialog()
{
    const QString path = platform_.files.askOpenName(
        this, QStringLiteral("Open measured data"),
        QStringLiteral("Readings (*.csv *.txt *.tsv *.dat);;All files (*)"));
    if (!path.isEmpty())
        openReadings(path);
}

void FormMain::keepCurve()
{
    if (document_.keepCurve())
        refreshShownPage();
}

void FormMain::useFittedValues()
{
    if (!outcome().measured || !outcome().measured->fit)
        return;
    // A copy: the edit below replaces the outcome it comes from.
    const lab::Fit fit = *outcome().measured->fit;
    indicators::BoxTexts boxes = session().boxes;
    boxes.TxCErl = QString::number(fit.fitted.inputs.analyteConc, 'g', 4).toUpper().toStdString();
    if (!fit.pKa.empty()) {
        boxes.TxKaKb = "pKa";
        for (const double pKa : fit.pKa)
            boxes.TxKaKb += ' ' + QString::number(pKa, 'f', 2).toStdString();
    }
    frameDAT_->preset(session().type, boxes, session().indicatorPosition);
    refreshShownPage();
}

void FormMain::Image5_Click(bool)
{
    frameDAT_->hide();
    picture1_->show();
    frameTAB_->hide();
    picture1_->title()->clear();
    shownChart_.reset();
    QPushButton* print = picture1_->printButton();
    print->hide();
    picture1_->Cls();
    frameDAT_->ActualizarColor_pH();
    if (!drawSessionChart()) {
        // The page stays empty but for the reason, without title or Print button.
        showRefusal(outcome().refusal);
        return;
    }
    showRefusal(std::nullopt);
    print->setVisible(latestPrinter_.has_value());
    (print->isVisible() ? static_cast<QWidget*>(print) : picture1_)->setFocus();
}

bool FormMain::drawSessionChart()
{
    const session::Outcome& o = outcome();
    std::optional<chart::ChartModel> chart = document_.chart();
    if (!chart)
        return false;
    const chart::ChartTexts texts = session::chartTexts(session(), o, catalogue_);
    if (!o.measured)
        analyseReadings(); // meanwhile the chart shows the readings over the model
    // On screen the title is the page's label, and the caption goes only with a chart handed
    // out; printed, the chart has its title.
    chart->texts = {{}, texts.indicatorName, {}};
    picture1_->draw(*chart);
    chart->texts.title = texts.title;
    picture1_->title()->setText(QString::fromStdString(texts.title));
    shownCaption_ = texts.caption;
    shownFileStem_ =
        report::titrationFileStem(chart->model().type(), o.schematic.inputs, o.schematic.constants);
    shownChart_ = std::move(chart);
    updateChartMenu();
    return true;
}

bool FormMain::chartShown() const
{
    return picture1_->isVisible() && shownChart_.has_value();
}

chart::ChartModel FormMain::chartHandedOut() const
{
    chart::ChartModel chart = *shownChart_;
    chart.texts.caption = shownCaption_;
    return chart;
}

void FormMain::copyPicture()
{
    // Twice the screen's size, so that it stays sharp in a document.
    if (platform_.clipboard.setImage(output::chartImage(chartHandedOut(), 2)))
        showCopied(picture1_, picture1_->mapToGlobal(picture1_->rect().center()));
    else
        platform_.messages.show(this, MessageBoxes::Icon::Exclamation, kProgramName,
                                QStringLiteral("Sorry, the clipboard could not be set. "
                                               "Please try again."));
}

void FormMain::savePicture()
{
    const chart::ChartModel chart = chartHandedOut();
    saveWithDialog(
        this, platform_, QStringLiteral("Save picture as"),
        fileNameFrom(QString::fromStdString(shownFileStem_) + QStringLiteral(" - curve")),
        {{QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf")},
         {QStringLiteral("SVG picture (*.svg)"), QStringLiteral("svg")},
         {QStringLiteral("PNG picture (*.png)"), QStringLiteral("png")}},
        [&chart](const QString& extension) {
            return output::chartFile(
                chart, output::chartFormatOf(extension).value_or(output::ChartFormat::Png));
        });
}

void FormMain::Image6_Click(bool byKeyboard)
{
    // Under the button when the keyboard pressed it, at the pointer when the mouse did.
    popupHelpMenu(byKeyboard);
}

void FormMain::popupHelpMenu(bool underButton)
{
    const PictureButton* help = commandKeys_.at(Qt::Key_H);
    mnu_Ayuda_->popup(underButton ? help->mapToGlobal(QPoint(0, help->height())) : QCursor::pos());
}

void FormMain::Timer1_Timer()
{
    // Every fourth tick, two seconds: soon enough after a change of default printer, and an
    // idle window stays idle. A slow print service gets one question at a time.
    if (ticks_++ % 4 != 0 || printerQuery_.isRunning())
        return;
    printerQuery_.setFuture(QtConcurrent::run(
        &backgroundPool(), [&printers = platform_.printers] { return printers.query(); }));
}

} // namespace app
