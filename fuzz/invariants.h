#pragma once
// What every text the program shows must satisfy, whatever was typed.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

[[noreturn]] inline void violated(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "invariant violated: %s: [%s]\n", what, detail.c_str());
    std::abort();
}

inline void check(bool holds, const char* what, const std::string& detail = {})
{
    if (!holds)
        violated(what, detail);
}

/// No "nan" or "inf" in any spelling, and never a negative zero.
inline void checkShownText(const std::string& text)
{
    for (const char* bad : {"nan", "NaN", "inf", "Inf", "NAN", "INF"})
        check(text.find(bad) == std::string::npos, "non-finite number in a text", text);
    check(text != "-0" && text.find(" -0 ") == std::string::npos &&
              text.find("= -0\r") == std::string::npos,
          "negative zero in a text", text);
}

} // namespace fuzz
