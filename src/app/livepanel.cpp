#include "app/livepanel.h"

#include "app/uihelpers.h"
#include "report/numberreading.h"

#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace app {

namespace {

/// How often a screen reader is given the pH as it changes.
constexpr int kSpokenEveryMs = 1000;

QString mL(double volume)
{
    return QString::number(volume, 'g', 10);
}

QString pHText(double pH)
{
    return QString::number(pH, 'f', 2);
}

QString readingText(const meter::Reading& r)
{
    return QObject::tr("%1 mL, pH %2").arg(mL(r.volume), pHText(r.pH));
}

QLabel* label(QWidget* parent, const char* name, const QFont& font)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    l->setTextFormat(Qt::PlainText); // the meter's and the system's words, as they are
    l->setWordWrap(true);
    return l;
}

} // namespace

LivePanel::LivePanel(QWidget* window, session::Document& document, const LiveChoice& choice)
    : QWidget(window, Qt::Tool), choice_(choice),
      bench_(document, tr("Live readings").toStdString(), choice.settleBand, choice.settleSeconds)
{
    setObjectName(QStringLiteral("LivePanel"));
    setWindowTitle(tr("Live readings"));
    setAttribute(Qt::WA_DeleteOnClose, false); // the live mode deletes it once finished
    build();
    setMeter(choice);
}

LivePanel::~LivePanel() = default;

void LivePanel::build()
{
    setFont(arial(13));
    pH_ = label(this, "livePH", arial(56, true));
    pH_->setAlignment(Qt::AlignCenter);
    pH_->setText(QStringLiteral("\u2014"));
    pH_->setAccessibleName(tr("Live pH: no reading yet"));
    settle_ = label(this, "liveSettle", arial(15, true));
    settle_->setAlignment(Qt::AlignCenter);
    state_ = label(this, "liveState", arial(13));
    skipped_ = label(this, "liveSkipped", arial(11));
    note_ = label(this, "liveNote", arial(13, true));
    saving_ = label(this, "liveSaving", arial(11));
    readings_ = new QListWidget(this);
    readings_->setObjectName(QStringLiteral("liveReadings"));
    readings_->setAccessibleName(tr("Readings kept"));

    auto* undo = new QPushButton(tr("&Undo last reading"), this);
    undo->setObjectName(QStringLiteral("liveUndo"));
    undo->setToolTip(tr("Takes back the last reading kept (Ctrl+Z)"));
    connect(undo, &QPushButton::clicked, this, &LivePanel::undo);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &LivePanel::undo);
    auto* meter = new QPushButton(tr("&Meter\u2026"), this);
    meter->setObjectName(QStringLiteral("liveMeter"));
    connect(meter, &QPushButton::clicked, this, &LivePanel::meterWanted);
    auto* finish = new QPushButton(tr("&Finish"), this);
    finish->setObjectName(QStringLiteral("liveFinish"));
    connect(finish, &QPushButton::clicked, this, &LivePanel::finish);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pH_);
    layout->addWidget(settle_);
    layout->addWidget(state_);
    layout->addWidget(skipped_);
    layout->addWidget(buildEntry());
    layout->addWidget(undo);
    layout->addWidget(note_);
    auto* keptLabel = new QLabel(tr("Readings &kept:"), this);
    keptLabel->setBuddy(readings_);
    layout->addWidget(keptLabel);
    layout->addWidget(readings_, 1);
    layout->addWidget(saving_);
    auto* end = new QHBoxLayout;
    end->addWidget(meter);
    end->addStretch();
    end->addWidget(finish);
    layout->addLayout(end);
    setFixedWidth(300);
}

QWidget* LivePanel::buildEntry()
{
    auto* entry = new QWidget(this);
    auto* rows = new QFormLayout(entry);
    rows->setContentsMargins(0, 0, 0, 0);
    volume_ = new QLineEdit(entry);
    volume_->setObjectName(QStringLiteral("liveVolume"));
    volume_->setAccessibleName(tr("Burette reading, mL"));
    volume_->setToolTip(tr("Type the burette reading and press Enter: the pH is kept once it "
                           "has settled"));
    connect(volume_, &QLineEdit::returnPressed, this, [this] { keepVolume(volume_->text()); });
    volume_->installEventFilter(this); // Ctrl+Z takes back a reading, not the box's typing
    rows->addRow(tr("&Burette reading (mL):"), volume_);

    step_ = new QDoubleSpinBox(entry);
    step_->setObjectName(QStringLiteral("liveStep"));
    step_->setAccessibleName(tr("Fixed step, mL"));
    step_->setRange(0.01, 50);
    step_->setValue(1);
    step_->setSuffix(tr(" mL"));
    auto* add = new QPushButton(tr("+ step"), entry);
    add->setObjectName(QStringLiteral("liveAddStep"));
    add->setAccessibleName(tr("Add the step"));
    add->setToolTip(tr("Keeps the pH at the last volume kept plus the step (Ctrl+Space)"));
    const auto addStep = [this] { keepVolume(mL(bench_.run().nextVolume(step_->value()))); };
    connect(add, &QPushButton::clicked, this, addStep);
    auto* key = new QShortcut(QKeySequence(tr("Ctrl+Space")), this);
    connect(key, &QShortcut::activated, this, addStep);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(step_);
    stepRow->addWidget(add);
    auto* stepLabel = new QLabel(tr("Fixed &step:"), entry);
    stepLabel->setBuddy(step_);
    rows->addRow(stepLabel, stepRow);
    return entry;
}

void LivePanel::setMeter(const LiveChoice& choice)
{
    choice_ = choice;
    bench_.setSettle(choice.settleBand, choice.settleSeconds);
    meter_.reset(); // the old source stops before the new one opens the same port
    meter_ = std::make_unique<live::LiveMeter>(choice.source);
    connect(meter_.get(), &live::LiveMeter::reading, this, &LivePanel::meterReading);
    connect(meter_.get(), &live::LiveMeter::stateChanged, this, &LivePanel::meterState);
    connect(meter_.get(), &live::LiveMeter::skipped, this,
            [this](qint64 total, const QString& why) {
                skipped_->setText(
                    total > 0 ? tr("Skipped: %1; the last: %2").arg(counted(total, tr("line")), why)
                              : why);
            });
    state_->setText(tr("Connecting\u2026"));
    settle_->clear();
    meter_->start();
    if (const std::optional<meter::Reading> last =
            bench_.run().kept().empty() ? std::nullopt : std::optional(bench_.run().kept().back()))
        meter_->setVolume(last->volume); // a simulated flask goes on where the run stands
}

void LivePanel::start(const QString& path, const meter::RunHeader& header)
{
    bench_.start(path.toStdString(), header);
    showSaving();
}

void LivePanel::resume(const meter::SavedRun& saved)
{
    bench_.resume(saved);
    for (const meter::Reading& r : saved.readings)
        readings_->addItem(readingText(r));
    if (meter_ && !saved.readings.empty())
        meter_->setVolume(saved.readings.back().volume);
    tell(tr("Resumed: %1 kept so far").arg(counted(qint64(saved.readings.size()), tr("reading"))));
    showSaving();
}

void LivePanel::addBrief(QWidget* widget)
{
    widget->setParent(this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, widget);
}

void LivePanel::activate()
{
    show();
    raise();
    activateWindow();
    volume_->setFocus();
    volume_->selectAll();
}

void LivePanel::meterReading(double seconds, double pH)
{
    const std::optional<meter::Reading> kept = bench_.meterReading(seconds, pH);
    const bool settled = bench_.run().settled();
    pH_->setText(pHText(pH));
    if (!pH_->styleSheet().isEmpty())
        pH_->setStyleSheet(QString());
    const QString settle = settled ? tr("Settled") : tr("Settling\u2026");
    if (settle != settle_->text()) { // ten readings a second restyle nothing while it holds
        settle_->setText(settle);
        settle_->setStyleSheet(settled ? QStringLiteral("color: #107010")
                                       : QStringLiteral("color: #a06000"));
    }
    if (kept)
        showKept(*kept);
    // A new name is announced (Qt tells the screen reader); a steady pH is not said again.
    const QString name = tr("Live pH %1, %2").arg(pHText(pH), settle_->text());
    if (name != pH_->accessibleName() &&
        (!spoken_.isValid() || spoken_.elapsed() >= kSpokenEveryMs)) {
        spoken_.start();
        pH_->setAccessibleName(name);
    }
}

void LivePanel::meterState(live::MeterState state, const QString& message)
{
    const bool bad = state == live::MeterState::Silent || state == live::MeterState::Disconnected ||
                     state == live::MeterState::Failed;
    state_->setText(
        message.isEmpty()
            ? (state == live::MeterState::Receiving ? tr("Receiving") : tr("Connecting\u2026"))
            : message);
    state_->setStyleSheet(bad ? QStringLiteral("color: #b00000") : QString());
    if (bad) {
        bench_.meterLost();
        pH_->setStyleSheet(QStringLiteral("color: #a0a0a0")); // the last pH, no longer live
        settle_->setText(tr("No readings"));
        settle_->setStyleSheet(QStringLiteral("color: #b00000"));
    }
}

void LivePanel::keepVolume(const QString& text)
{
    const std::optional<double> typed = report::ReadWholeNumber(text.toStdString());
    const double volume = typed ? *typed : std::numeric_limits<double>::quiet_NaN();
    const bool fresh = meter_ && meter_->followsVolume();
    const auto kept = bench_.keep(volume, fresh);
    if (!kept) {
        tell(tr("Not kept: %1.").arg(QString::fromStdString(kept.failure)));
        volume_->selectAll();
        return;
    }
    if (fresh)
        meter_->setVolume(volume);
    volume_->clear();
    if (*kept.value)
        showKept(**kept.value);
    else
        tell(tr("%1 mL: waiting for the pH to settle\u2026").arg(mL(volume)));
}

void LivePanel::showKept(const meter::Reading& reading)
{
    readings_->addItem(readingText(reading));
    readings_->scrollToBottom();
    tell(tr("Kept: %1").arg(readingText(reading)));
    showSaving();
    emit readingsChanged();
}

void LivePanel::undo()
{
    if (const std::optional<double> waiting = bench_.run().waiting()) {
        bench_.cancelWaiting();
        tell(tr("Given up: %1 mL").arg(mL(*waiting)));
        return;
    }
    const std::optional<meter::Reading> forgotten = bench_.undo();
    if (!forgotten) {
        tell(tr("No reading to undo"));
        return;
    }
    delete readings_->takeItem(readings_->count() - 1);
    tell(tr("Removed: %1").arg(readingText(*forgotten)));
    showSaving();
    emit readingsChanged();
}

void LivePanel::tell(const QString& text)
{
    note_->setText(text); // a plain label: Qt tells the screen reader its new name
}

void LivePanel::showSaving()
{
    const QString file = QFileInfo(QString::fromStdString(bench_.path().string())).fileName();
    const std::string& failure = bench_.saveFailure();
    saving_->setText(failure.empty() ? tr("Saved as it goes in %1").arg(file)
                                     : tr("Not saved (%1): the readings are only in this window")
                                           .arg(QString::fromStdString(failure)));
    saving_->setStyleSheet(failure.empty() ? QString() : QStringLiteral("color: #b00000"));
}

void LivePanel::finish()
{
    if (!finished_) {
        finished_ = true;
        meter_.reset();
        bench_.finish();
        emit finished();
    }
    hide();
}

bool LivePanel::eventFilter(QObject* watched, QEvent* event)
{
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (watched != volume_ || !key || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        undo();
    event->accept();
    return true;
}

void LivePanel::closeEvent(QCloseEvent* event)
{
    finish();
    event->accept();
}

} // namespace app
