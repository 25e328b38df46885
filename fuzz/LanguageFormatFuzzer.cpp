// Fuzzes the two places where text from outside picks a code path: language
// codes (an override read from a file another process writes, variables of
// the environment) and translated texts with printf-style conversions (string
// tables edited by translators).
//
// A code always maps onto one supported language, and mapping it again
// changes nothing. A text whose conversions `argumentKinds` accepts always
// formats with arguments of exactly those kinds, and with any other list of
// arguments yields nothing; no text ever crashes, reads past its arguments
// or trips a sanitizer.
#include "TavvoShared/Localization/FormattedText.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, std::string_view input)
{
    std::fprintf(stderr, "%s\ninput: %.*s\n", what, static_cast<int>(input.size()), input.data());
    std::abort();
}

// Argument values derived from the input, so the fuzzer steers them too:
// integers that include the extremes, texts that are slices of the input
// (with its conversions in them, which must come out literally).
class ArgumentSource {
public:
    explicit ArgumentSource(std::string_view input)
        : m_input(input)
    {
        for (char const character : input)
            m_state = (m_state ^ static_cast<unsigned char>(character)) * 1099511628211u;
    }

    L10n::Argument next(L10n::ArgumentKind kind)
    {
        auto const value = step();
        if (kind == L10n::ArgumentKind::integer) {
            switch (value % 4) {
            case 0:
                return std::numeric_limits<std::int64_t>::min();
            case 1:
                return std::numeric_limits<std::int64_t>::max();
            default:
                return static_cast<std::int64_t>(value);
            }
        }
        auto const start = m_input.empty() ? 0 : static_cast<std::size_t>(value % m_input.size());
        return std::string(m_input.substr(start, (value >> 32) % 16));
    }

private:
    std::uint64_t step()
    {
        m_state = m_state * 6364136223846793005u + 1442695040888963407u;
        return m_state;
    }

    std::string_view m_input;
    std::uint64_t m_state = 14695981039346656037u;
};

void checkLanguageCode(std::string_view input)
{
    auto const& supported = L10n::supportedLocalizations();
    auto const code = L10n::normalizedLanguageCode(input);
    if (std::find(supported.begin(), supported.end(), code) == supported.end())
        fail("a code maps onto an unsupported language", input);
    if (L10n::normalizedLanguageCode(code) != code)
        fail("mapping a supported code changes it", input);
    if (L10n::displayName(input).empty())
        fail("a code has no display name", input);
    static_cast<void>(L10n::languageBase(input));
}

L10n::Argument otherKind(const L10n::Argument& argument)
{
    if (std::holds_alternative<std::int64_t>(argument))
        return std::string("x");
    return std::int64_t { 1 };
}

void checkFormattedText(std::string_view input)
{
    ArgumentSource source(input);
    auto const kinds = L10n::argumentKinds(input);
    if (!kinds) {
        // A text refused as a whole formats with nothing.
        for (auto const& arguments : { std::vector<L10n::Argument> {}, { source.next(L10n::ArgumentKind::integer) },
                 { source.next(L10n::ArgumentKind::text), source.next(L10n::ArgumentKind::integer) } }) {
            if (L10n::formattedText(input, arguments))
                fail("a refused text was formatted", input);
        }
        return;
    }

    std::vector<L10n::Argument> arguments;
    for (auto const kind : *kinds)
        arguments.push_back(source.next(kind));
    if (!L10n::formattedText(input, arguments))
        fail("a text did not format with arguments of its own kinds", input);

    auto extra = arguments;
    extra.push_back(source.next(L10n::ArgumentKind::text));
    if (L10n::formattedText(input, extra))
        fail("a text formatted with one argument too many", input);
    if (!arguments.empty()) {
        auto fewer = arguments;
        fewer.pop_back();
        if (L10n::formattedText(input, fewer))
            fail("a text formatted with one argument too few", input);
        auto wrong = arguments;
        wrong.front() = otherKind(wrong.front());
        if (L10n::formattedText(input, wrong))
            fail("a text formatted with an argument of the wrong kind", input);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view const input(reinterpret_cast<const char*>(data), size);
    checkLanguageCode(input);
    checkFormattedText(input);
    return 0;
}
