#pragma once
// A computed value or the reason there is none. Numerics that may run off the window's thread
// return this instead of raising a global flag: the failure travels with the value, nothing is
// thrown, and a NaN is never handed on as a value.

#include <optional>
#include <string>
#include <utility>

namespace chem {

/// A value, or the failure that stopped it: exactly one of the two is present.
template <class T> struct Result
{
    std::optional<T> value; ///< empty on failure
    std::string failure;    ///< why there is no value, in plain words; empty on success

    static Result success(T v) { return {std::move(v), {}}; }
    static Result failed(std::string why) { return {std::nullopt, std::move(why)}; }

    /// True when a value is present.
    explicit operator bool() const { return value.has_value(); }
};

} // namespace chem
