#include "TavvoShared/NovikDesign/NovikSeverity.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"

#include <limits>

namespace NovikSeverities {

NovikSeverity forUsed(std::optional<std::int64_t> used)
{
    if (!used)
        return NovikSeverity::unknown;
    if (*used < 50)
        return NovikSeverity::ok;
    if (*used < 70)
        return NovikSeverity::watch;
    if (*used < 90)
        return NovikSeverity::tight;
    return NovikSeverity::critical;
}

NovikSeverity forRemaining(std::optional<std::int64_t> remaining)
{
    if (!remaining)
        return NovikSeverity::unknown;
    // 100 − remaining leaves 64 bits only for remaining below
    // 100 − INT64_MAX; those are used shares far past 100, so critical.
    if (*remaining < 100 - std::numeric_limits<std::int64_t>::max())
        return NovikSeverity::critical;
    return forUsed(100 - *remaining);
}

}

const UI::Color& color(NovikSeverity severity)
{
    return NovikPalette::color(severity);
}
