#include "Platform/WidgetKit/WidgetFamily.hpp"

#include <array>
#include <cstddef>

namespace WidgetKit {

namespace {

struct FamilyTraits {
    std::string_view shortName;
    UI::Size size;
};

// In case order, beside the names. Two square small widgets with the gap
// between them make one medium widget's width, and two medium widgets one
// extra-large. The heights are those of the tallest content the sizes are
// used for: two limit rows with their reset lines and a note under a
// header in the medium size, the analytics block and three such rows in
// the extra-large one.
constexpr std::array<FamilyTraits, 4> familyTraits { {
    { "small", { 170, 170 } },
    { "medium", { 364, 220 } },
    { "large", { 364, 392 } },
    { "extra-large", { 768, 392 } },
} };
static_assert(familyTraits.size() == Foundation::RawValues<WidgetFamily>::texts.size());

// A value outside the cases (made by a cast) is reported as the name table
// reports it, rather than read past the table.
const FamilyTraits& traits(WidgetFamily family)
{
    return familyTraits.at(static_cast<std::size_t>(family));
}

}

std::string_view name(WidgetFamily family)
{
    return Foundation::rawValue(family);
}

std::string_view shortName(WidgetFamily family)
{
    return traits(family).shortName;
}

std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text)
{
    if (auto const family = Foundation::fromRawValue<WidgetFamily>(text))
        return family;
    for (auto const family : allWidgetFamilies) {
        if (text == shortName(family))
            return family;
    }
    return std::nullopt;
}

UI::Size size(WidgetFamily family)
{
    return traits(family).size;
}

}
