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

// With no record within the bound, this many of the files left out are
// looked at, newest modified first: enough to step past a few sessions that
// recorded no limits, few enough that a pass costs hardly more than reading
// the files it keeps.
constexpr std::size_t olderFilesConsidered = 4;

const std::string defaultBucket = "codex";

}

class CodexLogReader::EventConsumer final : public LineConsumer {
public:
    // Without a run the file's tokens are not recorded.
    EventConsumer(CodexLogReader& reader, CodexTokenLedger::FileRun* run, Foundation::Date now)
        : m_reader(reader)
        , m_run(run)
        , m_now(now)
    {
    }

    void startOfFile() override
    {
        if (m_run)
            m_run->restart();
    }

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
    CodexTokenLedger::FileRun* m_run;
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

void CodexLogReader::take(const CodexTokenCount& event, CodexTokenLedger::FileRun* run, Foundation::Date now)
{
    if (event.timestamp > now + futureTolerance)
        return;
    if (run)
        m_ledger.record(*run, event);
    if (!event.rateLimits)
        return;
    // Among records of the same instant the one read last wins.
    auto const found = m_newest.find(event.rateLimits->limitId);
    if (found == m_newest.end())
        m_newest.emplace(event.rateLimits->limitId, Newest { event.timestamp, *event.rateLimits });
    else if (event.timestamp >= found->second.timestamp)
        found->second = { event.timestamp, *event.rateLimits };
}

void CodexLogReader::readFile(const std::filesystem::path& path, TrackedFile& file, Tokens tokens, Foundation::Date now,
    std::vector<std::string>& problems)
{
    EventConsumer consumer(*this, tokens == Tokens::recorded ? &file.run : nullptr, now);
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
    auto scan = m_sessionFiles.scan(now, bound, olderFilesConsidered);
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
        // A settled file whose identity is what it was at the last read
        // holds what it held then: opening it would only learn that. A file
        // that could not be read is tried again.
        if (!session.settled || file.problem || file.identity != session.identity) {
            readFile(session.path, file, Tokens::recorded, now, problems);
            file.identity = session.identity;
        }
        if (file.problem && !unreadable)
            unreadable = session.path;
    }
    m_files = std::move(listed);

    if (!scan.anyHomeExists) {
        m_newest.clear();
        m_olderFilesRead.clear();
    } else if (auto const newest = newestRecord(); newest && *newest >= bound) {
        // Beside a current record, a bucket last seen before the bound is
        // one no longer in use.
        for (auto record = m_newest.begin(); record != m_newest.end();)
            record = record->second.timestamp < bound ? m_newest.erase(record) : std::next(record);
        m_olderFilesRead.clear();
    } else {
        readOlderFiles(scan.olderFiles, now, problems, unreadable);
    }
    return reading(scan.anyHomeExists, bound, unreadable);
}

void CodexLogReader::readOlderFiles(const std::vector<CodexSessionFile>& files, Foundation::Date now, std::vector<std::string>& problems,
    std::optional<std::filesystem::path>& unreadable)
{
    // Their events lie before the ledger's history, so only their limits
    // count. A file read before and unchanged since holds nothing new.
    std::map<std::filesystem::path, Foundation::FileIdentity> read;
    for (auto const& file : files) {
        // The files come newest modified first: one last modified before
        // the newest record known cannot hold a later one, nor can the rest.
        if (auto const newest = newestRecord(); newest && file.identity.isModifiedBefore(*newest))
            break;
        auto const known = m_olderFilesRead.find(file.path);
        if (known == m_olderFilesRead.end() || known->second != file.identity || !file.settled) {
            auto tracked = newFile(file.compressed);
            readFile(file.path, tracked, Tokens::ignored, now, problems);
            if (tracked.problem) {
                if (!unreadable)
                    unreadable = file.path;
                continue;
            }
        }
        read.emplace(file.path, file.identity);
    }
    m_olderFilesRead = std::move(read);
}

std::optional<Foundation::Date> CodexLogReader::newestRecord() const
{
    std::optional<Foundation::Date> newest;
    for (auto const& [id, record] : m_newest)
        if (!newest || record.timestamp > *newest)
            newest = record.timestamp;
    return newest;
}

CodexReading CodexLogReader::reading(bool anyHomeExists, Foundation::Date bound, std::optional<std::filesystem::path> unreadable) const
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
    // An outdated record's week began before the ledger's history: its
    // tokens are not known.
    if (codex != m_newest.end() && codex->second.timestamp >= bound)
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
