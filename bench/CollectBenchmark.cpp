// The collector's incremental pass, which `tavvo collect --watch` runs on
// every change: after the first pass over a generated Codex home, one
// token-count line is appended to the newest session log and the reader
// passes again. Its floor is what no incremental reader can avoid: a stat
// of every file it reads and of every folder it watches.
//
// The home is made by bench/generate-codex-history.py with the 2,000 files
// of the process budgets but 200 MB in all instead of about 1 GB: an
// incremental pass reads only what was appended, so the bytes already there
// change nothing but the time the set-up takes.
#include "TavvoHost/Codex/CodexLogReader.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using std::chrono::system_clock;

// The pruning bound of the reader: the longest window plus a day.
constexpr auto keptAge = std::chrono::days(8);

Foundation::Date present()
{
    return std::chrono::floor<std::chrono::microseconds>(system_clock::now());
}

// A token-count event of the current shape, dated `instant`, whose totals
// grow with `sequence` so that no two appended events repeat each other.
std::string tokenCountLine(Foundation::Date instant, std::int64_t sequence)
{
    auto const seconds = system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(instant));
    auto const milliseconds = std::chrono::floor<std::chrono::milliseconds>(instant).time_since_epoch().count() % 1000;
    std::tm utc {};
    gmtime_r(&seconds, &utc);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &utc);
    long long const total = 100'000 + 5'100 * sequence;
    long long const reset = seconds + 3'600;
    char line[1024];
    int const length = std::snprintf(line, sizeof line,
        "{\"timestamp\":\"%s.%03lldZ\",\"type\":\"event_msg\",\"payload\":{\"type\":\"token_count\","
        "\"info\":{\"total_token_usage\":{\"input_tokens\":%lld,\"cached_input_tokens\":0,\"output_tokens\":0,"
        "\"reasoning_output_tokens\":0,\"total_tokens\":%lld},\"last_token_usage\":{\"input_tokens\":5000,"
        "\"cached_input_tokens\":0,\"output_tokens\":100,\"reasoning_output_tokens\":0,\"total_tokens\":5100},"
        "\"model_context_window\":272000},\"rate_limits\":{\"limit_id\":\"codex\",\"limit_name\":null,"
        "\"primary\":{\"used_percent\":9.0,\"window_minutes\":300,\"resets_at\":%lld},"
        "\"secondary\":{\"used_percent\":1.0,\"window_minutes\":10080,\"resets_at\":%lld},"
        "\"credits\":{\"has_credits\":false,\"unlimited\":false,\"balance\":null},\"plan_type\":\"plus\","
        "\"rate_limit_reached_type\":null}}}\n",
        date, static_cast<long long>(milliseconds), total, total, reset, reset + 6 * 86'400);
    return std::string(line, static_cast<std::size_t>(length));
}

std::optional<Foundation::Date> modified(const fs::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return Foundation::Date(std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::microseconds(status.st_mtim.tv_nsec / 1000));
}

// The generated home, the reader after its first pass, and the paths the
// floor stats. Made once for every case and repetition.
class History {
public:
    History()
        : m_home(m_folder.path() / "codex")
        , m_reader(generated(m_home))
    {
        auto const now = present();
        std::vector<std::string> problems;
        m_first = m_reader.pass(now, problems);
        m_problems = problems.size();
        m_firstFilesRead = static_cast<std::size_t>(m_reader.counters().filesRead);
        std::optional<Foundation::Date> newest;
        for (auto const& entry : fs::recursive_directory_iterator(m_home)) {
            auto const time = entry.is_regular_file() ? modified(entry.path()) : std::nullopt;
            if (!time || now - *time > keptAge)
                continue;
            m_watched.push_back(entry.path());
            if (!newest || *time > *newest) {
                newest = time;
                m_newest = entry.path();
            }
        }
        m_keptFiles = m_watched.size();
        // As of the first pass, as the reader knows them.
        for (auto const& folder : m_reader.watchedFolders())
            m_watched.push_back(folder);
    }

    TavvoHost::CodexLogReader& reader() { return m_reader; }
    const TavvoHost::CodexReading& firstReading() const { return m_first; }
    std::size_t firstProblems() const { return m_problems; }
    std::size_t firstFilesRead() const { return m_firstFilesRead; }
    const std::vector<fs::path>& watched() const { return m_watched; }
    std::size_t keptFiles() const { return m_keptFiles; }

    // Appends one event to the newest log, as a running session does.
    bool append()
    {
        auto const line = tokenCountLine(present(), ++m_appended);
        int const descriptor = ::open(m_newest.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        bool const written = ::write(descriptor, line.data(), line.size()) == static_cast<ssize_t>(line.size());
        return ::close(descriptor) == 0 && written;
    }

private:
    static std::vector<fs::path> generated(const fs::path& home)
    {
        std::string const command = std::string("python3 '") + TAVVO_CODEX_HISTORY_GENERATOR + "' '" + home.string()
            + "' --files 2000 --megabytes 200 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cannot generate the Codex history");
        return { home };
    }

    TemporaryDirectory m_folder;
    fs::path m_home;
    TavvoHost::CodexLogReader m_reader;
    TavvoHost::CodexReading m_first;
    std::size_t m_problems = 0;
    std::size_t m_firstFilesRead = 0;
    std::vector<fs::path> m_watched;
    std::size_t m_keptFiles = 0;
    fs::path m_newest;
    std::int64_t m_appended = 0;
};

History& history()
{
    static History history;
    return history;
}

void incrementalPass(benchmark::State& state)
{
    auto& home = history();
    // A first pass that observed nothing would time an empty reader, and
    // one that read other files than those the floor stats would make the
    // ratio meaningless.
    if (home.firstReading().observations.empty() || home.firstProblems() != 0) {
        state.SkipWithError("the first pass over the generated home observed no limits or reported problems");
        return;
    }
    if (home.firstFilesRead() != home.keptFiles()) {
        state.SkipWithError("the first pass read other files than those modified within the pruning bound");
        return;
    }
    auto const filesReadBefore = home.reader().counters().filesRead;
    std::vector<std::string> problems;
    for (auto _ : state) {
        state.PauseTiming();
        bool const appended = home.append();
        problems.clear();
        state.ResumeTiming();
        if (!appended) {
            state.SkipWithError("cannot append to the newest session log");
            break;
        }
        benchmark::DoNotOptimize(home.reader().pass(present(), problems));
    }
    // One, the appended log, unless the reader reads more than it must.
    state.counters["readPerPass"] = benchmark::Counter(static_cast<double>(home.reader().counters().filesRead - filesReadBefore),
        benchmark::Counter::kAvgIterations);
    state.counters["files"] = static_cast<double>(home.keptFiles());
    state.counters["folders"] = static_cast<double>(home.watched().size() - home.keptFiles());
}

void floorStatWatched(benchmark::State& state)
{
    auto const& watched = history().watched();
    for (auto _ : state) {
        for (auto const& path : watched) {
            struct stat status {};
            benchmark::DoNotOptimize(::stat(path.c_str(), &status));
        }
    }
    state.counters["paths"] = static_cast<double>(watched.size());
}

}

BENCHMARK(incrementalPass)->Name("Collect/IncrementalPass")->Unit(benchmark::kMicrosecond);
BENCHMARK(floorStatWatched)->Name("Collect/FloorStatWatched")->Unit(benchmark::kMicrosecond);
