#include "report/json.h"

#include <charconv>
#include <cmath>

namespace report {

std::string jsonNumber(double x)
{
    if (!std::isfinite(x))
        return "null";
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x).ptr};
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c >= 0 && c < ' ') {
            const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

void JsonWriter::beforeItem()
{
    if (open_.empty())
        return;
    Level& level = open_.back();
    if (!level.empty)
        text_ += level.lines ? "," : ", ";
    if (level.lines)
        text_ += '\n' + std::string(2 * open_.size(), ' ');
    level.empty = false;
}

void JsonWriter::beforeValue()
{
    if (afterKey_)
        afterKey_ = false;
    else
        beforeItem();
}

JsonWriter& JsonWriter::begin(char bracket, Layout layout)
{
    beforeValue();
    text_ += bracket;
    open_.push_back({bracket == '{' ? '}' : ']', layout == Layout::Lines});
    return *this;
}

JsonWriter& JsonWriter::beginObject(Layout layout)
{
    return begin('{', layout);
}

JsonWriter& JsonWriter::beginArray(Layout layout)
{
    return begin('[', layout);
}

JsonWriter& JsonWriter::end()
{
    const Level level = open_.back();
    open_.pop_back();
    if (level.lines && !level.empty)
        text_ += '\n' + std::string(2 * open_.size(), ' ');
    text_ += level.closing;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeItem();
    text_ += jsonString(name) + ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::number(double x)
{
    beforeValue();
    text_ += jsonNumber(x);
    return *this;
}

JsonWriter& JsonWriter::integer(long long n)
{
    beforeValue();
    text_ += std::to_string(n);
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text)
{
    beforeValue();
    text_ += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    text_ += "null";
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    beforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::pair(double first, double second)
{
    return beginArray().number(first).number(second).end();
}

} // namespace report
