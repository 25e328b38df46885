#include "Platform/UI/ValidUTF8.hpp"

#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace UI {

std::string validUTF8(std::string_view string)
{
    // ICU counts in int32_t; a text of over 2 GiB is cut there.
    auto const length = static_cast<std::int32_t>(std::min<std::size_t>(string.size(), std::numeric_limits<std::int32_t>::max()));
    auto text = icu::UnicodeString::fromUTF8(icu::StringPiece(string.data(), length));
    text.findAndReplace(icu::UnicodeString(static_cast<UChar>(0)), icu::UnicodeString(static_cast<UChar>(0xFFFD)));
    std::string result;
    text.toUTF8String(result);
    return result;
}

}
