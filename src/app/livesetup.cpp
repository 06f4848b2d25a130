#include "app/livesetup.h"

#include "report/numberreading.h"
#include "report/typenames.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <charconv>

namespace app {

namespace {

constexpr std::pair<meter::Parity, const char*> kParities[] = {
    {meter::Parity::None, "none"}, {meter::Parity::Even, "even"}, {meter::Parity::Odd, "odd"}};
constexpr std::pair<meter::LineEnd, const char*> kLineEnds[] = {
    {meter::LineEnd::CR, "CR"}, {meter::LineEnd::LF, "LF"}, {meter::LineEnd::CRLF, "CRLF"}};

template <class T, std::size_t N>
const char* nameOf(const std::pair<T, const char*> (&table)[N], T value)
{
    for (const auto& [v, name] : table)
        if (v == value)
            return name;
    return table[0].second;
}

template <class T, std::size_t N>
T valueOf(const std::pair<T, const char*> (&table)[N], const std::string& name, T otherwise)
{
    for (const auto& [v, n] : table)
        if (name == n)
            return v;
    return otherwise;
}

std::string number(double x)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return error == std::errc{} ? std::string(buffer, end) : std::string("0");
}

/// The value of `name` in `entries`, the last one given; none when absent.
const std::string* entry(const meter::RunHeader& entries, std::string_view name)
{
    const auto found = std::find_if(entries.rbegin(), entries.rend(),
                                    [&](const auto& e) { return e.first == name; });
    return found == entries.rend() ? nullptr : &found->second;
}

/// Reads `name` into `value` when it is there and whole; leaves it otherwise.
void readNumber(const meter::RunHeader& entries, std::string_view name, double& value)
{
    if (const std::string* text = entry(entries, name))
        if (const std::optional<double> x = report::ReadWholeNumber(*text))
            value = *x;
}

void readNumber(const meter::RunHeader& entries, std::string_view name, int& value)
{
    double x = value;
    readNumber(entries, name, x);
    if (x == double(int(x)))
        value = int(x);
}

void readText(const meter::RunHeader& entries, std::string_view name, std::string& value)
{
    if (const std::string* text = entry(entries, name))
        value = *text;
}

/// A header line holds one line: a pasted line break in a box becomes a blank.
using report::oneLine;

/// The same settings but for the port's path.
bool sameMeter(const meter::PortSettings& a, const meter::PortSettings& b)
{
    return a.baud == b.baud && a.dataBits == b.dataBits && a.parity == b.parity &&
           a.stopBits == b.stopBits && a.lineEnd == b.lineEnd && a.poll == b.poll &&
           a.pollSeconds == b.pollSeconds && a.pick.nth == b.pick.nth &&
           a.pick.pattern == b.pick.pattern;
}

} // namespace

std::string pickText(const meter::Pick& pick)
{
    if (!pick.pattern.empty())
        return pick.pattern;
    return pick.nth == 0 ? std::string("last") : std::to_string(pick.nth);
}

MeterForm withPreset(MeterForm form, const meter::Preset& preset)
{
    const std::string port = form.port.port;
    form.port = preset.settings;
    form.port.port = port;
    form.pick = pickText(preset.settings.pick);
    form.preset = std::string(preset.name);
    form.simulated = false;
    return form;
}

chem::Result<LiveChoice> liveChoice(const MeterForm& form)
{
    using R = chem::Result<LiveChoice>;
    if (!(form.settleBand > 0 && form.settleBand <= 1))
        return R::failed("The settle band must be above 0 and at most 1 pH.");
    if (!(form.settleSeconds >= 0.1 && form.settleSeconds <= 600))
        return R::failed("The settle time must be from 0.1 to 600 s.");
    LiveChoice choice;
    choice.settleBand = form.settleBand;
    choice.settleSeconds = form.settleSeconds;
    if (form.simulated) {
        choice.source.kind = live::SourceChoice::Kind::Simulated;
        return R::success(std::move(choice));
    }
    choice.source.port = form.port;
    std::string_view port = report::trimmed(form.port.port);
    if (port.empty())
        return R::failed("Choose the meter's port, or type its path (such as /dev/ttyUSB0).");
    choice.source.port.port = std::string(port);
    if (form.port.baud <= 0)
        return R::failed("The baud rate must be a whole number above 0.");
    if (!(form.port.pollSeconds >= meter::kShortestPoll))
        return R::failed("The poll interval must be at least 0.1 s.");
    chem::Result<meter::Pick> pick = meter::readPick(form.pick);
    if (!pick)
        return R::failed("Which number is the pH: " + pick.failure + '.');
    choice.source.port.pick = std::move(*pick.value);
    return R::success(std::move(choice));
}

MeterForm formOf(const LiveChoice& choice)
{
    MeterForm form;
    form.simulated = choice.source.kind == live::SourceChoice::Kind::Simulated;
    form.port = choice.source.port;
    form.pick = pickText(choice.source.port.pick);
    form.settleBand = choice.settleBand;
    form.settleSeconds = choice.settleSeconds;
    for (const meter::Preset& p : meter::presets())
        if (sameMeter(withPreset(form, p).port, form.port))
            form.preset = std::string(p.name);
    return form;
}

meter::RunHeader formEntries(const MeterForm& f)
{
    return {
        {"meter", f.simulated ? "simulated" : "serial"},
        {"preset", f.preset},
        {"port", oneLine(f.port.port)},
        {"baud", std::to_string(f.port.baud)},
        {"data-bits", std::to_string(f.port.dataBits)},
        {"parity", nameOf(kParities, f.port.parity)},
        {"stop-bits", std::to_string(f.port.stopBits)},
        {"line-end", nameOf(kLineEnds, f.port.lineEnd)},
        {"poll", oneLine(f.port.poll)},
        {"poll-seconds", number(f.port.pollSeconds)},
        {"pick", oneLine(f.pick)},
        {"settle-band", number(f.settleBand)},
        {"settle-seconds", number(f.settleSeconds)},
    };
}

MeterForm formFromEntries(const meter::RunHeader& entries)
{
    MeterForm f;
    if (const std::string* kind = entry(entries, "meter"))
        f.simulated = *kind == "simulated";
    readText(entries, "preset", f.preset);
    readText(entries, "port", f.port.port);
    readNumber(entries, "baud", f.port.baud);
    readNumber(entries, "data-bits", f.port.dataBits);
    readNumber(entries, "stop-bits", f.port.stopBits);
    if (const std::string* parity = entry(entries, "parity"))
        f.port.parity = valueOf(kParities, *parity, f.port.parity);
    if (const std::string* end = entry(entries, "line-end"))
        f.port.lineEnd = valueOf(kLineEnds, *end, f.port.lineEnd);
    readText(entries, "poll", f.port.poll);
    readNumber(entries, "poll-seconds", f.port.pollSeconds);
    readText(entries, "pick", f.pick);
    readNumber(entries, "settle-band", f.settleBand);
    readNumber(entries, "settle-seconds", f.settleSeconds);
    return f;
}

MeterForm rememberedForm(QSettings& settings)
{
    meter::RunHeader entries;
    settings.beginGroup(QStringLiteral("meter"));
    for (const QString& key : settings.childKeys())
        entries.emplace_back(key.toStdString(), settings.value(key).toString().toStdString());
    settings.endGroup();
    return formFromEntries(entries);
}

void rememberForm(QSettings& settings, const MeterForm& form)
{
    settings.beginGroup(QStringLiteral("meter"));
    for (const auto& [name, value] : formEntries(form))
        settings.setValue(QString::fromStdString(name), QString::fromStdString(value));
    settings.endGroup();
}

meter::RunHeader runHeader(const session::Session& s, const MeterForm& form)
{
    meter::RunHeader header{
        {"started", QDateTime::currentDateTime().toString(Qt::ISODate).toStdString()},
        {"type", s.type ? report::typeNames(*s.type).commandName : ""},
        {"titrant", oneLine(s.boxes.TxCBur)},
        {"analyte-volume", oneLine(s.boxes.TxVErl)},
        {"analyte", oneLine(s.boxes.TxCErl)},
        {"constant", oneLine(s.boxes.TxKaKb)},
        {"indicator", std::to_string(s.indicatorPosition)},
    };
    const meter::RunHeader meter = formEntries(form);
    header.insert(header.end(), meter.begin(), meter.end());
    return header;
}

RestoredRun restoredRun(const meter::RunHeader& header)
{
    RestoredRun run;
    if (const std::string* type = entry(header, "type"))
        for (const chem::TitrationType t : report::kTitrationTypes)
            if (*type == report::typeNames(t).commandName)
                run.type = t;
    readText(header, "titrant", run.boxes.TxCBur);
    readText(header, "analyte-volume", run.boxes.TxVErl);
    readText(header, "analyte", run.boxes.TxCErl);
    readText(header, "constant", run.boxes.TxKaKb);
    readNumber(header, "indicator", run.indicatorPosition);
    run.form = formFromEntries(header);
    return run;
}

QString counted(qint64 count, const QString& noun)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(noun, count == 1 ? "" : "s");
}

QString liveFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/live");
}

QString newRunPath(const QString& folder)
{
    const QString stem = folder + QStringLiteral("/run-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = stem + QStringLiteral(".csv");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1.csv").arg(n);
    return path;
}

} // namespace app
