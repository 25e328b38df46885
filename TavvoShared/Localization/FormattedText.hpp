// Filling a localized text's printf-style conversions with its arguments,
// refusing a text whose conversions do not fit them.
//
// Texts use a small, fixed set of conversions: "%s" for a text argument,
// "%d", "%i", "%ld", "%li", "%lld" or "%lli" for an integer argument, each
// optionally positional ("%2$s"), and "%%" for a percent sign. Integers print
// as plain decimal digits whatever the language, with no grouping.
#pragma once

#include "TavvoShared/Localization/L10n.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace L10n {

enum class ArgumentKind {
    integer,
    text,
};

// The kinds of the arguments `text` consumes, by argument position.
// Nothing when a conversion is malformed or not one of the set above, when
// positional and sequential conversions are mixed, when a position is 0 or
// left unused below the highest one, or when one position is used as two
// kinds.
//   argumentKinds("%1$lldh %2$lldm") == {integer, integer}
//   argumentKinds("%2$s: %1$lld%%") == {integer, text}
//   argumentKinds("100%") == nothing
std::optional<std::vector<ArgumentKind>> argumentKinds(std::string_view text);

// `text` with its conversions replaced by `arguments`; nothing unless the
// text consumes exactly these arguments, each of the kind it has.
//   formattedText("%1$lld of %2$lld", {3, 5}) == "3 of 5"
//   formattedText("%s left", {3}) == nothing
std::optional<std::string> formattedText(std::string_view text, const std::vector<Argument>& arguments);

}
