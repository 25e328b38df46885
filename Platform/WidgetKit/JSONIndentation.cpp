#include "Platform/WidgetKit/JSONIndentation.hpp"

namespace WidgetKit {

std::string indentedJSON(std::string_view json, int depth)
{
    std::string const indentation(depth > 0 ? static_cast<std::size_t>(depth) * 2 : 0, ' ');
    std::string result;
    result.reserve(json.size());
    for (char character : json) {
        result += character;
        if (character == '\n')
            result += indentation;
    }
    return result;
}

}
