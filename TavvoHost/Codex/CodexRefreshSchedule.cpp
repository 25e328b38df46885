#include "TavvoHost/Codex/CodexRefreshSchedule.hpp"

#include "TavvoShared/State/TavvoStateFile.hpp"
#include "Platform/Foundation/FileManager.hpp"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

namespace TavvoHost {

namespace {

// Enough for any Unix time in seconds, with room to spare; a longer file
// is no stamp of ours.
constexpr std::size_t maximumStampLength = 32;


std::optional<Foundation::Date> stampOnDisk(const std::filesystem::path& path)
{
    std::string text;
    try {
        text = Foundation::FileManager::defaultManager()->contentsOfFile(path, maximumStampLength);
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    long long seconds = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || (end != text.data() + text.size() && *end != '\n'))
        return std::nullopt;
    // Far outside any clock's reach: garbled, and the arithmetic on it
    // could overflow.
    constexpr long long year10000 = 253'402'300'800;
    if (seconds < 0 || seconds >= year10000)
        return std::nullopt;
    return Foundation::Date(std::chrono::seconds(seconds));
}

}

Foundation::Date codexRefreshDueAt(std::optional<Foundation::Date> newestObservedAt,
    std::optional<Foundation::Date> lastAttemptAt, std::chrono::seconds ttl, Foundation::Date now)
{
    Foundation::Date due = now;
    if (newestObservedAt)
        due = std::max(due, Foundation::addingTimeInterval(*newestObservedAt, static_cast<double>(ttl.count())));
    if (lastAttemptAt && *lastAttemptAt <= now)
        due = std::max(due, *lastAttemptAt + codexRefreshInterval);
    return due;
}

CodexRefreshStamp::CodexRefreshStamp(std::filesystem::path path)
    : m_path(std::move(path))
{
}

std::optional<std::filesystem::path> CodexRefreshStamp::defaultPath()
{
    return Tavvo::stateFile("codex-refresh");
}

std::optional<Foundation::Date> CodexRefreshStamp::lastAttempt() const
{
    auto const onDisk = stampOnDisk(m_path);
    if (onDisk && m_recorded)
        return std::max(*onDisk, *m_recorded);
    return onDisk ? onDisk : m_recorded;
}

void CodexRefreshStamp::record(Foundation::Date at)
{
    auto const seconds = std::chrono::floor<std::chrono::seconds>(at);
    m_recorded = seconds;
    Tavvo::writeStateFile(m_path, std::to_string(seconds.time_since_epoch().count()) + "\n");
}

}
