#pragma once
// One small JSON writer for every JSON the program prints: the run's object and the measured
// readings within it. Numbers in full precision, strings escaped, and a layout chosen per
// object or array: on one line, or one member a line, indented by two blanks a level.

#include <string>
#include <string_view>
#include <vector>

namespace report {

/// The shortest text that reads back to `x`; null when `x` is not finite.
std::string jsonNumber(double x);

/// `text` as a JSON string, quotes included; bytes above ASCII are kept as they are.
std::string jsonString(std::string_view text);

/// Writes JSON in order: open an object or array, give its keys and values, close it. Inside an
/// object each value follows its key.
class JsonWriter
{
public:
    /// On one line, members after ", "; or one member a line, the closing bracket on a line of
    /// its own (an empty one stays "[]" or "{}").
    enum class Layout { OneLine, Lines };

    JsonWriter& beginObject(Layout layout = Layout::OneLine);
    JsonWriter& beginArray(Layout layout = Layout::OneLine);
    /// Closes the innermost object or array.
    JsonWriter& end();
    JsonWriter& key(std::string_view name);
    JsonWriter& number(double x);
    JsonWriter& integer(long long n);
    JsonWriter& string(std::string_view text);
    JsonWriter& null();
    JsonWriter& boolean(bool value);
    /// Two numbers as an array on one line: [first, second].
    JsonWriter& pair(double first, double second);

    /// What has been written.
    const std::string& text() const { return text_; }

private:
    struct Level
    {
        char closing;
        bool lines;
        bool empty = true;
    };
    /// The separator and line break before a key, or before a value that follows no key.
    void beforeItem();
    void beforeValue();
    JsonWriter& begin(char bracket, Layout layout);

    std::string text_;
    std::vector<Level> open_;
    bool afterKey_ = false;
};

} // namespace report
