// ValidUTF8: every string a view shows or reads out goes through here once,
// so that Pango, the accessibility labels and the JSON dump only ever see
// valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace UI {

// `string` with every ill-formed sequence (each maximal part of one, as
// Unicode recommends) and every NUL replaced by U+FFFD.
//   validUTF8("a\xFFz") == "a\uFFFDz"
std::string validUTF8(std::string_view string);

}
