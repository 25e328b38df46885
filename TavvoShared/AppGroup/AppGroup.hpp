// AppGroup: the application group in whose shared folder and defaults
// suite the host program and the widget meet, and how a program learns
// which group it belongs to. The snapshot store and the language override
// both need the group, so it lives apart from either and depends on
// neither.
#pragma once

#include "Platform/Foundation/Bundle.hpp"

#include <string>
#include <string_view>

namespace Tavvo::AppGroup {

// Team identifier, a dot, the host program's bundle identifier, ".shared".
inline constexpr std::string_view defaultIdentifier = "T4VV0N0V1K.app.tavvo.Tavvo.shared";

// The information-dictionary key that may override the identifier above.
inline constexpr std::string_view infoDictionaryKey = "TavvoAppGroupIdentifier";

// The information dictionary's value under `infoDictionaryKey` when it is a
// non-empty text (returned untrimmed), else `defaultIdentifier`.
std::string resolvedIdentifier(const Foundation::Bundle& bundle);

}
