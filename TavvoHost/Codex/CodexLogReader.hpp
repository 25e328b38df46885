// CodexLogReader: the Codex limits and weekly tokens held by the session
// logs of the Codex homes, read incrementally pass after pass.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Codex/CodexHomes.hpp"
#include "TavvoHost/Codex/CodexSessionFiles.hpp"
#include "TavvoHost/Codex/CodexTokenLedger.hpp"
#include "TavvoHost/LogFiles/AppendedLogFile.hpp"
#include "TavvoHost/LogFiles/CompressedLogFile.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace TavvoHost {

// Every pass looks over the homes' session folders (listing again only
// those that changed), leaves out the files that cannot hold anything
// current (untouched for longer than the weekly window plus a day), and
// reads of the rest only what was appended or changed.
// What earlier passes found is kept: the newest record of each limit bucket
// and the distinct token events since the pruning bound.
// A user who has not run Codex within the bound still has limits last
// seen: with no record within it, the few most recently modified of the
// files left out are read too (once, until they change), and the newest
// record of each bucket is reported as it was then, outdated.
class CodexLogReader {
public:
    explicit CodexLogReader(std::vector<std::filesystem::path> homes, LogFileLimits limits = {});

    // Reads what was appended or changed since the last pass (everything on the first). `now`, the
    // pass's instant read before it, sets the pruning bound and tells which files have settled.
    // One-line problem texts for standard error are appended to `problems`.
    // Events stamped more than a few minutes after `now` cannot be true and are ignored.
    CodexReading pass(Foundation::Date now, std::vector<std::string>& problems);

    // Tokens (last_token_usage.total_tokens) of the distinct events with start <= timestamp < end.
    std::int64_t tokensWithin(Foundation::Date start, Foundation::Date end) const;

    // The folders whose changes can change the next pass (homes, sessions/ and every year, month and
    // day folder under it, archived_sessions/ and its date folders), as of the last pass. Only
    // folders that existed then are listed.
    std::vector<std::filesystem::path> watchedFolders() const;

    struct Counters {
        std::int64_t filesRead = 0, linesRead = 0, malformedLines = 0, overlongLines = 0;
    };
    const Counters& counters() const;

private:
    struct TrackedFile {
        std::variant<AppendedLogFile, CompressedLogFile> log;
        CodexTokenLedger::FileRun run;
        // Why the file could not be (fully) read, until it is read again.
        std::optional<std::string> problem;
        // As scanned before the last read.
        std::optional<Foundation::FileIdentity> identity;
    };
    struct Newest {
        Foundation::Date timestamp;
        CodexObservation observation;
    };
    class EventConsumer;
    // Whether a file's token events go to the ledger.
    enum class Tokens { recorded, ignored };

    TrackedFile newFile(bool compressed) const;

    void readFile(const std::filesystem::path& path, TrackedFile& file, Tokens tokens, Foundation::Date now, std::vector<std::string>& problems);
    void readOlderFiles(const std::vector<CodexSessionFile>& files, Foundation::Date now, std::vector<std::string>& problems,
        std::optional<std::filesystem::path>& unreadable);
    void take(const CodexTokenCount& event, CodexTokenLedger::FileRun* run, Foundation::Date now);
    std::optional<Foundation::Date> newestRecord() const;
    CodexReading reading(bool anyHomeExists, Foundation::Date bound, std::optional<std::filesystem::path> unreadable) const;

    CodexSessionFiles m_sessionFiles;
    LogFileLimits m_limits;
    std::map<std::filesystem::path, TrackedFile> m_files;
    // The files left out as too old that were read, as they were then.
    std::map<std::filesystem::path, Foundation::FileIdentity> m_olderFilesRead;
    CodexTokenLedger m_ledger;
    std::map<std::string, Newest> m_newest; // by limit id
    std::vector<std::filesystem::path> m_watchedFolders;
    Counters m_counters;
};

}
