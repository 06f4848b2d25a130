#include "app/climeter.h"

#include "app/cli.h"
#include "app/clioptions.h"
#include "indicators/catalogue.h"
#include "live/livemeter.h"
#include "meter/liverun.h"
#include "meter/runlog.h"
#include "report/numberreading.h"
#include "session/session.h"
#include "teach/exercise.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <charconv>
#include <cmath>
#include <deque>
#include <limits>

#include <cerrno>
#include <unistd.h>

namespace app::cli {

namespace {

/// How long a reading may take to settle once standard input has ended: a script that typed
/// its last volume is not left waiting on a meter that went quiet.
constexpr int kLastWaitSeconds = 30;

const OptionText kMeterRows[] = {
    {"meter", "port",
     "Live readings from a pH meter on this serial port (/dev/ttyUSB0, /dev/ttyACM0, a "
     "pseudo-terminal's /dev/pts/N), or 'simulated': a meter in the flask the inputs describe, "
     "with activities by the Davies equation and a real bench's errors. With --listen or "
     "--record; without them, the window opens with its live panel on this meter."},
    {"preset", "name",
     "With --meter: the meter's settings: 'ezo' (Atlas Scientific EZO pH), 'orion' (Thermo "
     "Orion Star, GETMEAS), 'arduino' (an Arduino pH board's free text) or 'generic' (one number "
     "a line; the default)."},
    {"baud", "N", "With --meter: the port's speed, instead of the preset's (9600)."},
    {"poll", "text",
     "With --meter: the command that asks the meter for a reading, instead of the preset's; "
     "\"\" for a meter that sends on its own."},
    {"poll-interval", "s",
     "With --meter: the seconds between two asks, from 0.1, instead of the preset's."},
    {"pick", "N|last|regex",
     "With --meter: which number on a line is the pH, instead of the preset's: the Nth, the "
     "last, or the group of a regular expression."},
    {"settle", "pH,s",
     "With --record: the pH is kept once it varies by less than this over that many seconds "
     "(0.02,5 unless given)."},
    {"listen", "s",
     "With --meter: prints the readings the meter sends for this many seconds, one a line "
     "(seconds since the start, pH); skipped lines and the port's state on standard error. Exit "
     "0 when readings came, 1 when none."},
    {"record", "file",
     "With --meter: reads burette volumes (mL) from standard input, one a line; keeps the "
     "settled pH for each, prints it and appends it to this new file, a readings file written "
     "as it goes. With --report, --json, --csv or --chart the readings are analysed at the end "
     "of input, as with --data."},
    {"seed", "N",
     "With --meter simulated: the seed of the bench's errors (1 unless given): the same seed, "
     "the same electrode and burette. With --worksheet: the seed of the problems. With --quiz: "
     "the questions' seed (1 unless given)."},
    {"lag", "s",
     "With --meter simulated: the electrode's time constant after titrant is added, in "
     "seconds (1 unless given; 0 for none)."},
};

using Error = std::optional<QString>;

QString dashed(const char* name)
{
    return QStringLiteral("--") + QLatin1String(name);
}

/// A whole number written in full, digits only.
std::optional<long long> wholeCount(const QString& typed)
{
    const std::string text = typed.toStdString();
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || text.front() == '-' || error != std::errc{} ||
        end != text.data() + text.size())
        return std::nullopt;
    return n;
}

/// A number of seconds from `low` to `high`, written in full.
std::optional<double> seconds(const QString& typed, double low, double high)
{
    const std::optional<double> s = report::ReadWholeNumber(typed.toStdString());
    return s && *s >= low && *s <= high ? s : std::nullopt;
}

/// --settle: a pH band and a time, both above 0, the comma between them.
Error readSettle(const QString& typed, MeterOptions& m)
{
    const QStringList parts = typed.split(',');
    const double band =
        parts.size() == 2 ? report::ReadWholeNumber(parts[0].toStdString()).value_or(0.0) : 0.0;
    const double time = parts.size() == 2 ? seconds(parts[1], 0, 3600).value_or(0.0) : 0.0;
    if (!(band > 0 && band <= 14 && time > 0))
        return "--settle: '" + typed +
               "' is not a pH band and seconds, each above 0, a comma between: \"0.02,5\"";
    m.settleBand = band;
    m.settleSeconds = time;
    return std::nullopt;
}

/// The simulated meter's seed and electrode.
Error readSimulated(const QCommandLineParser& p, MeterOptions& m)
{
    for (const char* name : {"preset", "baud", "poll", "poll-interval", "pick"})
        if (p.isSet(QLatin1String(name)))
            return dashed(name) + " does not apply to a simulated meter";
    m.source.kind = live::SourceChoice::Kind::Simulated;
    m.source.readingsPerSecond = 5; // a settle of a second or less still sees several readings
    if (p.isSet(QStringLiteral("seed")))
        if (const Error error = readSeed("seed", p.value(QStringLiteral("seed")), m.source.seed))
            return error;
    if (p.isSet(QStringLiteral("lag"))) {
        const std::optional<double> lag = seconds(p.value(QStringLiteral("lag")), 0, 60);
        if (!lag)
            return "--lag: '" + p.value(QStringLiteral("lag")) + "' is not from 0 to 60 s";
        m.source.responseSeconds = *lag;
    }
    return std::nullopt;
}

/// A serial meter's port: the preset's settings, each changed by its own option.
Error readPort(const QCommandLineParser& p, const QString& port, MeterOptions& m)
{
    for (const char* name : {"seed", "lag"})
        if (p.isSet(QLatin1String(name)))
            return dashed(name) + " needs --meter simulated";
    const QString name = p.isSet(QStringLiteral("preset")) ? p.value(QStringLiteral("preset"))
                                                           : QStringLiteral("generic");
    const meter::Preset* preset = meter::presetNamed(name.toStdString());
    if (!preset)
        return "--preset: unknown meter '" + name + "' (ezo, orion, arduino, generic)";
    meter::PortSettings& s = m.source.port = preset->settings;
    s.port = port.toStdString();
    if (p.isSet(QStringLiteral("baud"))) {
        const std::optional<long long> baud = wholeCount(p.value(QStringLiteral("baud")));
        if (!baud || *baud < 1 || *baud > 10'000'000)
            return "--baud: '" + p.value(QStringLiteral("baud")) +
                   "' is not a whole number of baud above 0";
        s.baud = int(*baud);
    }
    if (p.isSet(QStringLiteral("poll")))
        s.poll = p.value(QStringLiteral("poll")).toStdString();
    if (p.isSet(QStringLiteral("poll-interval"))) {
        const QString typed = p.value(QStringLiteral("poll-interval"));
        const std::optional<double> interval = seconds(typed, meter::kShortestPoll, 3600);
        if (!interval)
            return "--poll-interval: '" + typed + "' is not from 0.1 to 3600 s";
        s.pollSeconds = *interval;
    }
    if (p.isSet(QStringLiteral("pick"))) {
        const chem::Result<meter::Pick> pick =
            meter::readPick(p.value(QStringLiteral("pick")).toStdString());
        if (!pick)
            return "--pick: " + QString::fromStdString(pick.failure);
        s.pick = *pick.value;
    }
    return std::nullopt;
}

/// --listen or --record, and what goes with each.
Error readAction(const QCommandLineParser& p, MeterOptions& m)
{
    const bool listen = p.isSet(QStringLiteral("listen"));
    const bool record = p.isSet(QStringLiteral("record"));
    if (listen && record)
        return QStringLiteral("--listen and --record together");
    if (!listen && !record) { // the window opens with the live panel on this meter
        for (const char* name :
             {"report", "csv", "json", "chart", "ph", "data", "step", "exercise"})
            if (p.isSet(QLatin1String(name)))
                return "--" + QString::fromLatin1(name) + " and --meter need --record";
        if (p.isSet(QStringLiteral("settle")))
            return readSettle(p.value(QStringLiteral("settle")), m);
        return std::nullopt;
    }
    if (listen) {
        // What the meter sends is all that goes to standard output.
        for (const char* name : {"report", "csv", "json", "chart", "ph", "data", "settle"})
            if (p.isSet(QLatin1String(name)))
                return "--listen and " + dashed(name) + " together";
        const QString typed = p.value(QStringLiteral("listen"));
        const std::optional<double> time = seconds(typed, 0, 86400);
        if (!time || !(*time > 0))
            return "--listen: '" + typed + "' is not from 0 to 86400 s";
        m.listenSeconds = *time;
        return std::nullopt;
    }
    for (const char* name : {"data", "step"})
        if (p.isSet(QLatin1String(name)))
            return "--record and " + dashed(name) + " together";
    m.recordPath = argumentBytes(p.value(QStringLiteral("record")));
    if (m.recordPath.isEmpty())
        return QStringLiteral("--record needs a file name");
    if (p.isSet(QStringLiteral("settle")))
        return readSettle(p.value(QStringLiteral("settle")), m);
    return std::nullopt;
}

/// A pH as a meter shows it: 3 decimals at most, 2 at least.
std::string pHText(double pH)
{
    char text[32];
    std::string s(text,
                  std::to_chars(text, text + sizeof text, pH, std::chars_format::fixed, 3).ptr);
    if (s.back() == '0')
        s.pop_back();
    return s;
}

/// A number as typed back: the shortest text that reads as it.
std::string shortest(double volume)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, volume).ptr};
}

} // namespace

std::optional<std::uint32_t> seedOf(const QString& typed)
{
    const std::optional<long long> seed = wholeCount(typed);
    if (!seed || *seed > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return std::uint32_t(*seed);
}

std::optional<QString> readSeed(const char* option, const QString& typed, std::uint32_t& seed)
{
    const std::optional<long long> n = wholeCount(typed);
    if (!n || *n > std::numeric_limits<std::uint32_t>::max())
        return dashed(option) + ": '" + typed + "' is not a whole number from 0 to 4294967295";
    seed = std::uint32_t(*n);
    return std::nullopt;
}

QList<QCommandLineOption> meterOptions()
{
    return optionsOf(kMeterRows);
}

std::optional<QString> readMeter(const QCommandLineParser& p, Options& o)
{
    if (!p.isSet(QStringLiteral("meter"))) {
        for (const OptionText& row : kMeterRows) {
            const bool seed = row.name == std::string_view("seed");
            if (!p.isSet(QLatin1String(row.name)) || (seed && o.teach && o.teach->quiz > 0))
                continue; // a quiz's seed is the questions'
            return dashed(row.name) +
                   (seed ? " needs --meter simulated or --quiz" : " needs --meter");
        }
        return std::nullopt;
    }
    MeterOptions m;
    const QString port = p.value(QStringLiteral("meter"));
    if (port.isEmpty())
        return QStringLiteral("--meter needs a port or 'simulated'");
    const Error error =
        port == QLatin1String("simulated") ? readSimulated(p, m) : readPort(p, port, m);
    if (error)
        return error;
    if (const Error misfit = readAction(p, m))
        return misfit;
    o.meter = std::move(m);
    return std::nullopt;
}

namespace {

/// A meter listened to or recorded from, on the application's event loop.
class MeterCommand : public QObject
{
public:
    MeterCommand(const Options& o, std::ostream& out, std::ostream& err)
        : o_(o), m_(*o.meter), out_(out), err_(err), meter_(m_.source),
          run_(m_.settleBand, m_.settleSeconds), lastWait_(new QTimer(this))
    {
        connect(&meter_, &live::LiveMeter::reading, this, &MeterCommand::reading);
        connect(&meter_, &live::LiveMeter::skipped, this,
                [this](qint64, const QString& why) { say("skipped " + why.toStdString()); });
        connect(&meter_, &live::LiveMeter::stateChanged, this, &MeterCommand::stateChanged);
        lastWait_->setSingleShot(true);
        lastWait_->setInterval(kLastWaitSeconds * 1000);
        connect(lastWait_, &QTimer::timeout, this, &MeterCommand::gaveUp);
    }
    Q_DISABLE_COPY(MeterCommand)

    /// Runs until done: the exit status.
    int exec();

private:
    bool recording() const { return !m_.recordPath.isEmpty(); }
    void say(const std::string& text) { err_ << "acidora: " << report::oneLine(text) << '\n'; }
    void stateChanged(live::MeterState state, const QString& message);
    void reading(double seconds, double pH);
    void watchInput();
    void readInput();
    void endOfInput();
    /// Asks for the volumes typed, one after another: the next once the last is kept.
    void takeVolumes();
    void keep(const meter::Reading& reading);
    void gaveUp();
    /// Ends the run with `status`: the recording finished and, when `analyse`, analysed.
    void finish(int status, bool analyse);

    const Options& o_;
    const MeterOptions& m_;
    std::ostream &out_, &err_;
    live::LiveMeter meter_;
    meter::LiveRun run_;
    meter::RunLog log_;
    QSocketNotifier* input_ = nullptr;
    QTimer* lastWait_;
    std::string partial_;                           ///< a line of input not yet ended
    std::deque<std::pair<int, std::string>> lines_; ///< (line number, text) not yet taken
    int lineNumber_ = 0;
    bool inputEnded_ = false, done_ = false;
    long long heard_ = 0; ///< readings the meter sent
};

int MeterCommand::exec()
{
    if (recording()) {
        const meter::PortSettings& s = m_.source.port;
        const bool simulated = m_.source.kind == live::SourceChoice::Kind::Simulated;
        const std::string exercise =
            o_.teach ? ", exercise " + std::to_string(o_.teach->exercise->seed) : "";
        const meter::RunHeader header{
            {"meter", simulated ? "simulated, seed " + std::to_string(m_.source.seed) + exercise
                                : s.port + ' ' + meter::describe(s)},
            {"settle", pHText(m_.settleBand) + " pH over " + shortest(m_.settleSeconds) + " s"}};
        const chem::Result<bool> started = log_.start(m_.recordPath.toStdString(), header);
        if (!started) {
            say(started.failure);
            return 1;
        }
        watchInput();
    } else {
        QTimer::singleShot(int(std::lround(m_.listenSeconds * 1000)), this, [this] {
            if (heard_ == 0)
                say("no readings in " + shortest(m_.listenSeconds) + " s");
            finish(heard_ > 0 ? 0 : 1, false);
        });
    }
    meter_.start();
    return QCoreApplication::exec();
}

void MeterCommand::stateChanged(live::MeterState state, const QString& message)
{
    if (!message.isEmpty())
        say(message.toStdString());
    if (state == live::MeterState::Failed)
        finish(1, false);
}

void MeterCommand::reading(double seconds, double pH)
{
    if (done_)
        return;
    ++heard_;
    if (!recording()) {
        char time[32];
        const std::string line =
            std::string(
                time,
                std::to_chars(time, time + sizeof time, seconds, std::chars_format::fixed, 1).ptr) +
            " s  pH " + pHText(pH) + '\n';
        if (!written(out_, line, err_))
            finish(1, false);
        return;
    }
    if (const std::optional<meter::Reading> settled = run_.meterReading(seconds, pH)) {
        keep(*settled);
        takeVolumes();
    }
}

void MeterCommand::watchInput()
{
    // Read as it comes, so that the meter's readings go on arriving while nothing is typed.
    input_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(input_, &QSocketNotifier::activated, this, &MeterCommand::readInput);
}

void MeterCommand::readInput()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        input_->setEnabled(false);
        endOfInput();
        return;
    }
    partial_.append(buffer, std::size_t(n));
    for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
        lines_.emplace_back(++lineNumber_, partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    if (partial_.size() > sizeof buffer) { // no volume is this long: the line is told as it is
        lines_.emplace_back(++lineNumber_, std::move(partial_));
        partial_.clear();
    }
    takeVolumes();
}

void MeterCommand::endOfInput()
{
    if (!partial_.empty())
        lines_.emplace_back(++lineNumber_, std::move(partial_));
    partial_.clear();
    inputEnded_ = true;
    takeVolumes();
    if (!done_)
        lastWait_->start();
}

void MeterCommand::takeVolumes()
{
    while (!done_ && !run_.waiting() && !lines_.empty()) {
        const auto [number, typed] = lines_.front();
        lines_.pop_front();
        const QString line = QString::fromStdString(typed).trimmed();
        if (line.isEmpty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        const std::optional<double> volume = report::ReadWholeNumber(line.toStdString());
        if (!volume) {
            say(where + "'" + meter::printable(line.toStdString()) +
                "' is not a volume in mL; skipped");
            continue;
        }
        const auto kept = run_.keep(*volume, meter_.followsVolume());
        if (!kept) {
            say(where + kept.failure + "; skipped");
            continue;
        }
        if (meter_.followsVolume())
            meter_.setVolume(*volume); // the simulated flask takes the titrant now
        if (*kept.value)
            keep(**kept.value);
    }
    if (inputEnded_ && !run_.waiting() && lines_.empty())
        finish(0, true);
}

void MeterCommand::keep(const meter::Reading& reading)
{
    if (done_)
        return;
    if (const chem::Result<bool> saved = log_.append(reading); !saved) {
        say(saved.failure);
        finish(1, false);
        return;
    }
    if (!o_.json &&
        !written(out_, shortest(reading.volume) + " mL  pH " + pHText(reading.pH) + '\n', err_))
        finish(1, false);
    if (lastWait_->isActive())
        lastWait_->start(); // a reading came: the next has its own time to settle
}

void MeterCommand::gaveUp()
{
    if (done_ || !run_.waiting())
        return;
    std::size_t after = 0;
    for (const auto& [number, line] : lines_)
        after += QString::fromStdString(line).trimmed().isEmpty() ? 0 : 1;
    say("the reading at " + shortest(*run_.waiting()) + " mL has not settled in " +
        std::to_string(kLastWaitSeconds) + " s; it is not kept" +
        (after ? ", nor the " + std::to_string(after) + " volumes after it" : std::string()));
    run_.cancelWaiting();
    finish(1, true);
}

void MeterCommand::finish(int status, bool analyse)
{
    if (done_)
        return;
    done_ = true;
    if (recording() && log_.isOpen()) {
        if (const chem::Result<bool> closed = log_.finish(); !closed) {
            say(closed.failure);
            status = 1;
            analyse = false;
        }
    }
    if (recording() && analyse && o_.hasAction()) {
        // The readings file as --data reads it: the analysis is --data's own.
        Options analysis = o_;
        analysis.meter.reset();
        analysis.teach.reset(); // an exercise's readings, analysed against the student's setup
        analysis.dataPath = m_.recordPath;
        status = std::max(status, run(analysis, out_, err_));
    }
    QCoreApplication::exit(status);
}

/// The flask a simulated meter holds: an exercise's unknown, or the titration the inputs
/// describe, with activities, as a meter reads them; none when the inputs are refused, the
/// reason said on `err`.
std::optional<lab::Setup> simulatedFlask(const Options& o, std::ostream& err)
{
    std::optional<lab::Setup> truth;
    if (o.teach) {
        truth = teach::meterFlask(*o.teach->exercise); // never the student's setup
    } else {
        const session::Outcome outcome = session::compute(o.setup, indicators::filledCatalogue());
        if (saidRefusal(o, outcome, err))
            return std::nullopt;
        truth = session::labSetup(o.setup, outcome);
        truth->activity = chem::ActivityModel::Davies; // a meter reads activities
    }
    if (!truth || !truth->model()) {
        err << "acidora: the simulated flask's pH cannot be computed with activities (ionic "
               "strength up to 0.5 mol/L)\n";
        return std::nullopt;
    }
    return truth;
}

} // namespace

int runMeter(const Options& o, std::ostream& out, std::ostream& err)
{
    Options checked = o;
    MeterOptions& m = *checked.meter;
    const bool simulated = m.source.kind == live::SourceChoice::Kind::Simulated;
    if (simulated) {
        std::optional<lab::Setup> truth = simulatedFlask(o, err);
        if (!truth)
            return 1;
        m.source.truth = std::move(*truth);
    }
    // Refused before the bench's time is spent, not after it; a simulated flask of the inputs
    // has said so already.
    if ((!simulated || o.teach) && !m.recordPath.isEmpty() && o.hasAction() &&
        saidRefusal(o, session::compute(o.setup, indicators::filledCatalogue()), err))
        return 1;
    MeterCommand command(checked, out, err);
    return command.exec();
}

} // namespace app::cli
