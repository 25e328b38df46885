#include "TavvoHost/Remote/RemoteHosts.hpp"

#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/FileManager.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <system_error>

namespace TavvoHost {

namespace {

// A list of machines is a few lines; anything much larger is not one.
constexpr std::size_t longestRemotesFile = 64 * 1024;

// Longer than any name ssh would resolve.
constexpr std::size_t longestHost = 1024;

bool isBlank(char character)
{
    return character == ' ' || character == '\t' || character == '\r';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}

std::optional<std::string> refusedRemoteHost(std::string_view host)
{
    if (host.empty())
        return "a host name is empty";
    if (host.front() == '-')
        return "a host name may not start with \"-\"";
    if (host.size() > longestHost)
        return "a host name is too long";
    // Bytes of 0x80 and above are let through: ssh decides what a name is.
    bool const holdsSpaceOrControl = std::any_of(host.begin(), host.end(), [](char character) {
        auto const byte = static_cast<unsigned char>(character);
        return byte <= 0x20 || byte == 0x7f;
    });
    if (holdsSpaceOrControl)
        return "a host name may not hold blanks or control characters";
    return std::nullopt;
}

std::optional<std::filesystem::path> remotesFilePath()
{
    auto const folder = Foundation::userConfigDirectory();
    if (!folder)
        return std::nullopt;
    return *folder / "tavvo" / "remotes";
}

RemoteHostList readRemotesFile(const std::filesystem::path& file)
{
    RemoteHostList list;
    std::string contents;
    try {
        contents = Foundation::FileManager::defaultManager()->contentsOfFile(file, longestRemotesFile);
    } catch (const std::system_error& error) {
        if (error.code() != std::errc::no_such_file_or_directory)
            list.problems.push_back(error.what());
        return list;
    }
    std::string_view rest = contents;
    for (int number = 1; !rest.empty(); ++number) {
        auto const newline = rest.find('\n');
        std::string_view const line = trimmed(rest.substr(0, newline));
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (auto const refusal = refusedRemoteHost(line)) {
            list.problems.push_back(fmt::format("{}:{}: {}", file.string(), number, *refusal));
            continue;
        }
        list.hosts = joinedRemoteHosts(std::move(list.hosts), { std::string(line) });
    }
    return list;
}

std::vector<std::string> joinedRemoteHosts(std::vector<std::string> first, const std::vector<std::string>& then)
{
    for (auto const& host : then) {
        if (std::find(first.begin(), first.end(), host) == first.end())
            first.push_back(host);
    }
    return first;
}

}
