#include "TavvoShared/AppGroup/AppGroup.hpp"

#include <variant>

namespace Tavvo::AppGroup {

std::string resolvedIdentifier(const Foundation::Bundle& bundle)
{
    auto const value = bundle.objectForInfoDictionaryKey(infoDictionaryKey);
    if (value) {
        if (auto const* text = std::get_if<std::string>(&*value); text && !text->empty())
            return *text;
    }
    return std::string(defaultIdentifier);
}

}
