// OptionValidators: checks of an option's value that CLI11 runs while it
// parses, so that a wrong value is a usage error naming the option. Those
// of a fixed list tell the completion to offer it (ValueCompletion).
//
//   render.add_option("--format", format, "...")->transform(CommandLine::rawValueChoice<Format>())
//       ->type_name(CommandLine::rawValuesJoined<Format>("|"));
#pragma once

#include "Platform/CommandLine/ValueCompletion.hpp"
#include "Platform/Foundation/RawValue.hpp"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace CommandLine {

// A value that may not be empty ("--base-dir=" is a mistake, not the
// current folder).
inline CLI::Validator nonEmpty(std::string what)
{
    return CLI::Validator(
        [what = std::move(what)](std::string& text) { return text.empty() ? fmt::format("needs {}", what) : std::string(); }, "");
}

// A number above zero and at most `maximum` ("--ttl 0" would make nothing
// ever fresh, and a ttl past any sensible length a date nothing can hold).
inline CLI::Validator positiveNumber(double maximum)
{
    return CLI::Validator(
        [maximum](std::string& text) {
            double value = 0;
            if (CLI::detail::lexical_cast(text, value) && value > 0 && value <= maximum)
                return std::string();
            return fmt::format("'{}' is not a number above 0 and at most {}", text, maximum);
        },
        "");
}

// The value is one of `texts`, kept as it is.
inline CLI::Validator oneOf(std::vector<std::string> texts)
{
    auto const offered = texts;
    return offering(CLI::Validator(
                        [texts = std::move(texts)](std::string& text) {
                            if (std::find(texts.begin(), texts.end(), text) != texts.end())
                                return std::string();
                            return fmt::format("unknown value '{}' (expected {})", text, fmt::join(texts, ", "));
                        },
                        ""),
        offered);
}

// The value names one case of `Enumeration`, found by `named`; `expected`
// lists the accepted texts for the message, `offered` every text `named`
// accepts, for the completion. For an option bound to an `Enumeration`
// variable: CLI11 reads an enumeration from its number, so the text is
// replaced by the number of the case it names.
template <class Enumeration>
CLI::Validator choice(std::function<std::optional<Enumeration>(std::string_view)> named, std::string expected,
    const std::vector<std::string>& offered)
{
    return offering(CLI::Validator(
                        [named = std::move(named), expected = std::move(expected)](std::string& text) {
                            auto const value = named(text);
                            if (!value)
                                return fmt::format("unknown value '{}' (expected {})", text, expected);
                            text = std::to_string(static_cast<std::underlying_type_t<Enumeration>>(*value));
                            return std::string();
                        },
                        ""),
        offered);
}

// The raw values of an enumeration in case order, joined by `separator`:
// "png|svg|pdf" for help, "png, svg, pdf" for a message.
template <class Enumeration>
std::string rawValuesJoined(std::string_view separator)
{
    return fmt::format("{}", fmt::join(Foundation::RawValues<Enumeration>::texts, separator));
}

// The value is the raw value of one case of `Enumeration`.
template <class Enumeration>
CLI::Validator rawValueChoice()
{
    auto const& texts = Foundation::RawValues<Enumeration>::texts;
    return choice<Enumeration>(
        Foundation::fromRawValue<Enumeration>, rawValuesJoined<Enumeration>(", "), std::vector<std::string>(texts.begin(), texts.end()));
}

}
