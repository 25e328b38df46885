#include "TavvoShared/Localization/FormattedText.hpp"

#include <fmt/args.h>
#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <variant>

namespace L10n {

namespace {

// The length modifiers and conversion letters a text may use. Everything
// else printf knows (widths, flags, "%hd", "%ls", "%n", …) is refused: our
// texts do not need it, and a translation that has it is broken.
constexpr std::array<std::pair<std::string_view, ArgumentKind>, 7> conversionSpecifiers { {
    { "s", ArgumentKind::text },
    { "d", ArgumentKind::integer },
    { "i", ArgumentKind::integer },
    { "ld", ArgumentKind::integer },
    { "li", ArgumentKind::integer },
    { "lld", ArgumentKind::integer },
    { "lli", ArgumentKind::integer },
} };

struct Conversion {
    std::optional<std::size_t> position; // 1-based; nothing for a sequential one
    ArgumentKind kind;
};

// The conversions of `text` in order of appearance, "%%" left out; nothing
// when one is not of the accepted set.
std::optional<std::vector<Conversion>> conversions(std::string_view text)
{
    std::vector<Conversion> found;
    std::size_t index = 0;
    while ((index = text.find('%', index)) != std::string_view::npos) {
        std::string_view rest = text.substr(index + 1);
        if (rest.starts_with('%')) {
            index += 2;
            continue;
        }

        // A zero straight after "%" is printf's zero-padding flag, not part
        // of a position; fmt also counts leading zeros as digits of the
        // position and fails on "%000000000001$d" at formatting time, after
        // the text had been accepted here.
        if (rest.starts_with('0'))
            return std::nullopt;

        Conversion conversion { std::nullopt, ArgumentKind::text };
        std::size_t position = 0;
        auto const [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), position);
        if (end != rest.data()) {
            // Digits must be a position ("2$"), never a width; an overflowing
            // or zero position is as malformed as a missing "$".
            if (error != std::errc() || end == rest.data() + rest.size() || *end != '$' || position == 0)
                return std::nullopt;
            conversion.position = position;
            rest.remove_prefix(static_cast<std::size_t>(end - rest.data()) + 1);
        }

        auto const specifier = std::find_if(conversionSpecifiers.begin(), conversionSpecifiers.end(),
            [&](const auto& candidate) { return rest.starts_with(candidate.first); });
        if (specifier == conversionSpecifiers.end())
            return std::nullopt;
        conversion.kind = specifier->second;
        found.push_back(conversion);
        index = text.size() - rest.size() + specifier->first.size();
    }
    return found;
}

ArgumentKind kindOf(const Argument& argument)
{
    return std::holds_alternative<std::int64_t>(argument) ? ArgumentKind::integer : ArgumentKind::text;
}

}

std::optional<std::vector<ArgumentKind>> argumentKinds(std::string_view text)
{
    auto const found = conversions(text);
    if (!found)
        return std::nullopt;

    auto const isPositional = [](const Conversion& conversion) { return conversion.position.has_value(); };
    if (std::all_of(found->begin(), found->end(), isPositional)) {
        // Positions may repeat and come in any order (a language may need
        // the second argument first), but must leave no argument out.
        std::vector<std::optional<ArgumentKind>> kinds;
        for (auto const& conversion : *found) {
            // No position may be left unused, so none can lie beyond the
            // number of conversions. Refusing that first also keeps a
            // position such as "%4000000000$s" from sizing the list below.
            if (*conversion.position > found->size())
                return std::nullopt;
            auto const slot = *conversion.position - 1;
            if (slot >= kinds.size())
                kinds.resize(slot + 1);
            if (kinds[slot] && *kinds[slot] != conversion.kind)
                return std::nullopt;
            kinds[slot] = conversion.kind;
        }
        std::vector<ArgumentKind> result;
        for (auto const& kind : kinds) {
            if (!kind)
                return std::nullopt;
            result.push_back(*kind);
        }
        return result;
    }
    if (std::any_of(found->begin(), found->end(), isPositional))
        return std::nullopt;

    std::vector<ArgumentKind> result;
    for (auto const& conversion : *found)
        result.push_back(conversion.kind);
    return result;
}

std::optional<std::string> formattedText(std::string_view text, const std::vector<Argument>& arguments)
{
    auto const kinds = argumentKinds(text);
    if (!kinds || kinds->size() != arguments.size())
        return std::nullopt;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if ((*kinds)[index] != kindOf(arguments[index]))
            return std::nullopt;
    }

    // Checked above, the text is one fmt's printf accepts for exactly these
    // arguments, so formatting cannot fail or read past them.
    fmt::dynamic_format_arg_store<fmt::printf_context> store;
    for (auto const& argument : arguments)
        std::visit([&store](const auto& value) { store.push_back(value); }, argument);
    return fmt::vsprintf(fmt::string_view(text.data(), text.size()), fmt::basic_format_args<fmt::printf_context>(store));
}

}
