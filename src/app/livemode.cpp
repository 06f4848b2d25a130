#include "app/livemode.h"

#include "app/appinfo.h"
#include "app/inputpage.h"
#include "app/livepanel.h"
#include "app/meterdialog.h"
#include "app/platform.h"
#include "teach/exercise.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace app {

namespace {

/// The main window and the panel side by side, moved left as far as needed for both to fit on
/// the screen; where they cannot, the panel goes over the main window's right edge.
void placeBeside(QWidget* window, QWidget* panel)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QRect main = window->frameGeometry();
    const QSize side = panel->frameGeometry().size().expandedTo(panel->sizeHint());
    constexpr int kGap = 8;
    int left = main.left();
    if (main.right() + kGap + side.width() > free.right())
        left = std::max(free.left(), free.right() - kGap - side.width() - main.width());
    if (left != main.left())
        window->move(left, main.top());
    const int x = std::min(left + main.width() + kGap, free.right() - side.width());
    panel->setGeometry(QRect(QPoint(x, main.top()), QSize(side.width(), main.height())));
}

/// Marks a run finished, so that it is offered no more; its file stays.
void setAside(const meter::SavedRun& run)
{
    meter::RunLog log;
    if (log.resume(run.path))
        log.finish();
}

QString headerValue(const meter::RunHeader& header, const char* name)
{
    for (const auto& [n, value] : header)
        if (n == name)
            return QString::fromStdString(value);
    return {};
}

} // namespace

LiveMode::LiveMode(QWidget* window, session::Document& document, Platform& platform,
                   InputPage& input)
    : QObject(window), window_(window), document_(document), platform_(platform), input_(input),
      redraw_(new QTimer(this))
{
    redraw_->setSingleShot(true);
    connect(redraw_, &QTimer::timeout, this, &LiveMode::readingsChanged);
    window->installEventFilter(this);
}

LiveMode::~LiveMode()
{
    // The panel goes before the document it writes to; its run stays unfinished, to resume.
    delete panel_.data();
}

bool LiveMode::eventFilter(QObject* watched, QEvent* event)
{
    // The window closing takes the panel with it, without finishing the run: an Esc pressed by
    // mistake mid-titration leaves the run to resume at the next start.
    if (watched == window_ && event->type() == QEvent::Close)
        delete panel_.data();
    return QObject::eventFilter(watched, event);
}

void LiveMode::open()
{
    if (panel_) {
        panel_->activate();
        return;
    }
    QSettings settings;
    if (const std::optional<LiveChoice> choice = askMeter(rememberedForm(settings)))
        start(*choice);
}

std::optional<LiveChoice> LiveMode::askMeter(const MeterForm& form)
{
    MeterDialog dialog(form, window_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QSettings settings;
    rememberForm(settings, dialog.form());
    return liveChoice(dialog.form()).value;
}

bool LiveMode::start(const LiveChoice& choice)
{
    if (panel_) {
        panel_->activate();
        return true;
    }
    return begin(choice, nullptr);
}

bool LiveMode::fillFlask(LiveChoice& choice)
{
    live::SourceChoice& source = choice.source;
    // A flask already given (a hidden analyte, a run's own) stays.
    if (source.kind != live::SourceChoice::Kind::Simulated || source.truth.inputs.titrantConc > 0)
        return true;
    input_.ActualizarColor_pH(); // the boxes as they stand
    const session::Outcome& o = document_.outcome();
    const session::Session& s = document_.setup();
    if (!o.report) {
        const std::string why = o.refusal ? indicators::sentence(*o.refusal) : std::string();
        platform_.messages.show(
            window_, MessageBoxes::Icon::Exclamation, kProgramName,
            tr("The simulated meter's flask holds the titration typed on the input page, which "
               "cannot be computed: %1")
                .arg(QString::fromStdString(why)));
        return false;
    }
    source.truth = session::labSetup(s, o);
    if (source.seed == 1) // a new electrode each time, unless one was chosen
        source.seed = QRandomGenerator::global()->generate();
    return true;
}

bool LiveMode::begin(LiveChoice choice, const meter::SavedRun* resumed)
{
    if (!fillFlask(choice))
        return false;
    emit curveWanted();
    panel_ = new LivePanel(window_, document_, choice);
    connect(panel_, &LivePanel::readingsChanged, redraw_, qOverload<>(&QTimer::start));
    connect(panel_, &LivePanel::finished, this, [this] {
        panel_->deleteLater();
        panel_ = nullptr;
    });
    connect(panel_, &LivePanel::meterWanted, this, [this] {
        const LiveChoice current = panel_->choice();
        MeterForm form = formOf(current);
        if (std::optional<LiveChoice> choice = askMeter(form)) {
            choice->source.truth = current.source.truth; // the same flask
            choice->exercise = current.exercise;
            if (fillFlask(*choice) && panel_)
                panel_->setMeter(*choice);
        }
    });
    if (resumed)
        panel_->resume(*resumed);
    else {
        meter::RunHeader header = runHeader(document_.setup(), formOf(choice));
        if (choice.exercise)
            header.emplace_back("exercise", std::to_string(*choice.exercise));
        panel_->start(newRunPath(liveFolder()), header);
    }
    panel_->adjustSize();
    placeBeside(window_, panel_);
    panel_->activate();
    redraw_->start();
    return true;
}

void LiveMode::offerUnfinishedRuns()
{
    for (const meter::SavedRun& run : meter::unfinishedRuns(liveFolder().toStdString())) {
        if (panel_ && run.path == panel_->bench().path())
            continue; // the run being taken
        const QString file = QString::fromStdString(run.path.string());
        const QDateTime started =
            QDateTime::fromString(headerValue(run.header, "started"), Qt::ISODate);
        const QString text = tr("A live run was left unfinished (started %1): %2, the last at "
                                "%3 mL.\nIts file: %4")
                                 .arg(started.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                      counted(qint64(run.readings.size()), tr("reading")))
                                 .arg(run.readings.back().volume)
                                 .arg(QDir::toNativeSeparators(file));
        const int answer = platform_.messages.ask(
            window_, kProgramName, text,
            {tr("Resume"), tr("Open as readings"), tr("Discard"), tr("Later")});
        if (answer == 0 && resume(run))
            return;
        const RestoredRun restored = restoredRun(run.header);
        if (answer == 1) {
            if (restored.type)
                input_.preset(restored.type, restored.boxes, restored.indicatorPosition);
            setAside(run);
            emit curveWanted();
            emit readingsWanted(file);
            return;
        }
        if (answer == 2)
            setAside(run); // the file stays; the run is no longer offered
        else
            return; // later: offered again at the next start
    }
}

bool LiveMode::resume(const meter::SavedRun& run)
{
    const RestoredRun restored = restoredRun(run.header);
    if (restored.type)
        input_.preset(restored.type, restored.boxes, restored.indicatorPosition);
    chem::Result<LiveChoice> choice = liveChoice(restored.form);
    if (!choice) {
        // A header from elsewhere: the user completes the meter's settings.
        const std::optional<LiveChoice> asked = askMeter(restored.form);
        if (!asked)
            return false;
        choice.value = asked;
    }
    // A practice run's flask is its exercise's unknown again, drawn from its number.
    const QString exercise = headerValue(run.header, "exercise");
    if (!exercise.isEmpty() && choice.value->source.kind == live::SourceChoice::Kind::Simulated)
        if (const std::optional<teach::Exercise> e = teach::makeExercise(exercise.toUInt()))
            if (const std::optional<lab::Setup> flask = teach::meterFlask(*e)) {
                choice.value->source.truth = *flask;
                choice.value->exercise = e->seed;
            }
    return begin(*choice.value, &run);
}

} // namespace app
