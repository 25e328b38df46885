#include "Platform/WidgetKit/WidgetFamily.hpp"

namespace WidgetKit {

namespace {

struct FamilyDescription {
    WidgetFamily family;
    std::string_view name;
    std::string_view shortName;
    UI::Size size;
};

// Two square small widgets with the gap between them make one medium
// widget's width, and two medium widgets one extra-large. The heights are
// those of the tallest content the sizes are used for: two limit rows with
// their reset lines and a note under a header in the medium size, the
// analytics block and three such rows in the extra-large one.
constexpr std::array<FamilyDescription, 4> families { {
    { WidgetFamily::systemSmall, "systemSmall", "small", { 170, 170 } },
    { WidgetFamily::systemMedium, "systemMedium", "medium", { 364, 220 } },
    { WidgetFamily::systemLarge, "systemLarge", "large", { 364, 392 } },
    { WidgetFamily::systemExtraLarge, "systemExtraLarge", "extra-large", { 768, 392 } },
} };

const FamilyDescription& description(WidgetFamily family)
{
    for (auto const& entry : families) {
        if (entry.family == family)
            return entry;
    }
    return families.front();
}

}

std::string_view name(WidgetFamily family)
{
    return description(family).name;
}

std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text)
{
    for (auto const& entry : families) {
        if (text == entry.name || text == entry.shortName)
            return entry.family;
    }
    return std::nullopt;
}

UI::Size size(WidgetFamily family)
{
    return description(family).size;
}

}
