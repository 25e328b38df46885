#include "TavvoHost/Codex/CodexHomes.hpp"

#include <string_view>

namespace TavvoHost {

std::vector<std::filesystem::path> codexHomes(const std::optional<std::string>& codexHomeValue,
    const std::optional<std::filesystem::path>& homeDirectory)
{
    std::vector<std::filesystem::path> homes;
    if (codexHomeValue) {
        std::string_view rest = *codexHomeValue;
        while (!rest.empty()) {
            auto const comma = rest.find(',');
            auto const part = rest.substr(0, comma);
            if (!part.empty())
                homes.emplace_back(part);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
    }
    // A value of nothing but commas names no folder: the default stands.
    if (homes.empty() && homeDirectory && !homeDirectory->empty())
        homes.push_back(*homeDirectory / ".codex");
    return homes;
}

}
