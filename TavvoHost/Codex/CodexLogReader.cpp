#include "TavvoHost/Codex/CodexLogReader.hpp"

#include <fmt/format.h>

#include <iterator>

namespace TavvoHost {

using namespace std::chrono;

namespace {

// A file untouched since before the longest window began, with a day to
// spare for clocks and time zones, cannot hold anything current.
constexpr auto pruningAge = duration_cast<Foundation::Date::duration>(weeklyWindow + days(1));

// The log is written on this machine, by this clock: an event from later
// than this is a broken line, and it would hide every true one behind it.
constexpr auto futureTolerance = duration_cast<Foundation::Date::duration>(minutes(5));

const std::string defaultBucket = "codex";

}

class CodexLogReader::EventConsumer final : public LineConsumer {
public:
    EventConsumer(CodexLogReader& reader, CodexTokenLedger::FileRun& run, Foundation::Date now)
        : m_reader(reader)
        , m_run(run)
        , m_now(now)
    {
    }

    void startOfFile() override { m_run.restart(); }

    void line(std::string_view text) override
    {
        auto const parsed = parseCodexLogLine(text);
        if (parsed.kind == CodexLogLine::Kind::malformed)
            ++m_reader.m_counters.malformedLines;
        else if (parsed.tokenCount)
            m_reader.take(*parsed.tokenCount, m_run, m_now);
    }

private:
    CodexLogReader& m_reader;
    CodexTokenLedger::FileRun& m_run;
    Foundation::Date m_now;
};

CodexLogReader::CodexLogReader(std::vector<std::filesystem::path> homes, LogFileLimits limits)
    : m_sessionFiles(homes)
    , m_limits(limits)
{
}

CodexLogReader::TrackedFile CodexLogReader::newFile(bool compressed) const
{
    if (compressed)
        return { CompressedLogFile(m_limits), {}, std::nullopt, std::nullopt };
    return { AppendedLogFile(m_limits), {}, std::nullopt, std::nullopt };
}

void CodexLogReader::take(const CodexTokenCount& event, CodexTokenLedger::FileRun& run, Foundation::Date now)
{
    if (event.timestamp > now + futureTolerance)
        return;
    m_ledger.record(run, event);
    if (!event.rateLimits)
        return;
    // Among records of the same instant the one read last wins.
    auto const found = m_newest.find(event.rateLimits->limitId);
    if (found == m_newest.end())
        m_newest.emplace(event.rateLimits->limitId, Newest { event.timestamp, *event.rateLimits });
    else if (event.timestamp >= found->second.timestamp)
        found->second = { event.timestamp, *event.rateLimits };
}

void CodexLogReader::readFile(const std::filesystem::path& path, TrackedFile& file, Foundation::Date now, std::vector<std::string>& problems)
{
    EventConsumer consumer(*this, file.run, now);
    auto const result = std::visit([&](auto& log) { return log.read(path, consumer); }, file.log);

    using Outcome = LogFileRead::Outcome;
    if (result.outcome == Outcome::unchanged)
        return;
    if (result.outcome != Outcome::notRegular && result.outcome != Outcome::failed)
        ++m_counters.filesRead;
    m_counters.linesRead += result.lines;
    m_counters.overlongLines += result.overlongLines;

    std::string const name = path.string();
    switch (result.outcome) {
    case Outcome::unchanged:
    case Outcome::read:
    case Outcome::notRegular:
        file.problem.reset();
        break;
    case Outcome::failed:
        file.problem = fmt::format("cannot read {}: {}", name, result.error.message());
        break;
    case Outcome::corrupt:
        file.problem = fmt::format("cannot decompress {}: the data is damaged or needs too much memory", name);
        break;
    case Outcome::truncated:
        file.problem = fmt::format("{} ends inside a compressed frame; the lines before it were read", name);
        break;
    case Outcome::capped:
        file.problem = fmt::format("{} expands beyond {} MiB; the rest was skipped", name, m_limits.maxDecompressedBytes >> 20);
        break;
    }
    if (file.problem)
        problems.push_back(*file.problem);
    if (result.overlongLines > 0)
        problems.push_back(fmt::format("skipped {} line(s) longer than {} KiB in {}", result.overlongLines, m_limits.maxLineBytes >> 10, name));
}

CodexReading CodexLogReader::pass(Foundation::Date now, std::vector<std::string>& problems)
{
    Foundation::Date const bound = now - pruningAge;
    auto scan = m_sessionFiles.scan(bound);
    m_watchedFolders = std::move(scan.folders);
    m_ledger.prune(bound);

    std::optional<std::filesystem::path> unreadable;
    for (auto const& problem : scan.problems) {
        problems.push_back(problem.message);
        if (!unreadable)
            unreadable = problem.path;
    }

    // Files no longer listed (pruned or gone) are forgotten; should one come
    // back, it is read from its start and the ledger counts nothing twice.
    std::map<std::filesystem::path, TrackedFile> listed;
    for (auto const& session : scan.files) {
        auto node = m_files.extract(session.path);
        auto tracked = node ? listed.insert(std::move(node)).position : listed.emplace(session.path, newFile(session.compressed)).first;
        auto& file = tracked->second;
        // A settled file whose stat is what it was at the last read holds
        // what it held then: opening it would only learn that. A file that
        // could not be read is tried again.
        if (!session.settled || file.problem || file.version != session.version) {
            readFile(session.path, file, now, problems);
            file.version = session.version;
        }
        if (file.problem && !unreadable)
            unreadable = session.path;
    }
    m_files = std::move(listed);

    for (auto newest = m_newest.begin(); newest != m_newest.end();)
        newest = newest->second.timestamp < bound ? m_newest.erase(newest) : std::next(newest);
    if (!scan.anyHomeExists)
        m_newest.clear();
    return reading(scan.anyHomeExists, unreadable);
}

CodexReading CodexLogReader::reading(bool anyHomeExists, std::optional<std::filesystem::path> unreadable) const
{
    CodexReading result;
    if (!anyHomeExists)
        return result;

    auto const codex = m_newest.find(defaultBucket);
    if (codex != m_newest.end())
        result.observations.push_back(codex->second.observation);
    for (auto const& [id, newest] : m_newest)
        if (id != defaultBucket)
            result.observations.push_back(newest.observation);

    if (result.observations.empty() && unreadable) {
        result.state = SourceState::unreadable;
        return result;
    }
    result.state = SourceState::present;
    if (codex != m_newest.end())
        for (auto const& window : codex->second.observation.windows)
            if (window.length == weeklyWindow && window.resetsAt) {
                result.weeklyTokens = tokensWithin(*window.resetsAt - duration_cast<Foundation::Date::duration>(*window.length), *window.resetsAt);
                break;
            }
    return result;
}

std::int64_t CodexLogReader::tokensWithin(Foundation::Date start, Foundation::Date end) const
{
    return m_ledger.tokensWithin(start, end);
}

std::vector<std::filesystem::path> CodexLogReader::watchedFolders() const
{
    return m_watchedFolders;
}

const CodexLogReader::Counters& CodexLogReader::counters() const
{
    return m_counters;
}

}
