// Everything the widget does with the snapshot file before it draws: the
// codec on documents of several sizes, one read through the store, and one
// timeline through the host. The floors are what no reader can avoid: the
// system calls that bring the file in, and a bare parse of its bytes.
#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"
#include "Platform/WidgetKit/WidgetHost.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetBundle.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TestSupport/JSONText.hpp"
#include "TestSupport/ScopedLanguage.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <rapidjson/document.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

Foundation::Date const now { std::chrono::seconds(1'773'480'413) };

auto const encoder = TavvoWidgetJSONEncoder::tavvoWidget();
auto const decoder = TavvoWidgetJSONDecoder::tavvoWidget();

// The demo document with `count` limits in each of its two providers, so
// that only the number of limits changes between sizes.
TavvoWidgetSnapshot documentWithLimits(std::int64_t count)
{
    auto snapshot = TavvoWidgetTimelineProvider::demoSnapshot(now);
    for (auto& provider : snapshot.providers) {
        provider.limits.clear();
        for (std::int64_t index = 0; index < count; ++index) {
            auto const number = std::to_string(index);
            provider.limits.push_back({ std::string(Foundation::rawValue(provider.id)) + ".window_" + number, "Window " + number, index % 101,
                now + std::chrono::minutes(index + 1) });
        }
    }
    return snapshot;
}

// The bytes of the demo document as the store writes them.
std::string demoJSON()
{
    return encoder.encode(TavvoWidgetTimelineProvider::demoSnapshot(now));
}

void decodeDemo(benchmark::State& state)
{
    auto const json = demoJSON();
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder.decode<TavvoWidgetSnapshot>(json));
}

void encodeDemo(benchmark::State& state)
{
    auto const snapshot = TavvoWidgetTimelineProvider::demoSnapshot(now);
    for (auto _ : state)
        benchmark::DoNotOptimize(encoder.encode(snapshot));
}

// The argument is the number of limits per provider; the "limits" counter
// carries the document's total, which the budget divides the time by.
void decodeLimits(benchmark::State& state)
{
    auto const json = encoder.encode(documentWithLimits(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder.decode<TavvoWidgetSnapshot>(json));
    state.counters["limits"] = static_cast<double>(2 * state.range(0));
}

void encodeLimits(benchmark::State& state)
{
    auto const snapshot = documentWithLimits(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(encoder.encode(snapshot));
    state.counters["limits"] = static_cast<double>(2 * state.range(0));
}

// The demo document stored in a fresh folder, which is at once the store's
// base folder and the shared container the host's file manager hands out,
// so the store and the widget read the same file.
class SnapshotFile : public benchmark::Fixture {
public:
    void SetUp(benchmark::State&) override
    {
        m_language = std::make_unique<ScopedLanguage>("en");
        m_folder = std::make_unique<TemporaryDirectory>();
        store().writeSnapshot(TavvoWidgetTimelineProvider::demoSnapshot(now));
    }
    void TearDown(benchmark::State&) override
    {
        m_folder.reset();
        m_language.reset();
    }

protected:
    TavvoWidgetSnapshotStore store() const
    {
        return { "group.bench", m_folder->path(), Foundation::FileManager::defaultManager() };
    }
    WidgetKit::WidgetServices services() const
    {
        return { std::make_shared<WidgetKit::ContainerFolderFileManager>(m_folder->path()), [] { return now; } };
    }

private:
    std::unique_ptr<ScopedLanguage> m_language;
    std::unique_ptr<TemporaryDirectory> m_folder;
};

}

BENCHMARK(decodeDemo)->Name("Codec/DecodeDemo");
BENCHMARK(encodeDemo)->Name("Codec/EncodeDemo");
BENCHMARK(decodeLimits)->Name("Codec/DecodeLimits")->Arg(10)->Arg(1000);
BENCHMARK(encodeLimits)->Name("Codec/EncodeLimits")->Arg(10)->Arg(1000);

BENCHMARK_F(SnapshotFile, ReadSnapshot)(benchmark::State& state)
{
    auto const reader = store();
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.readSnapshot());
}

BENCHMARK_F(SnapshotFile, HostTimeline)(benchmark::State& state)
{
    WidgetKit::WidgetHost const host(TavvoWidgetBundle().body(services()).front());
    // A timeline that missed the file would time the error path instead.
    if (jsonText(host.timeline(WidgetKit::WidgetFamily::systemMedium).entries.front()).find("\"errorText\": null")
        == std::string::npos) {
        state.SkipWithError("the widget did not read the stored document");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(host.timeline(WidgetKit::WidgetFamily::systemMedium));
}

// What any reader pays to bring the file in: no existence check, no
// allocation, a buffer that holds it whole.
BENCHMARK_F(SnapshotFile, FloorOpenReadClose)(benchmark::State& state)
{
    auto const path = store().snapshotURL();
    std::vector<char> buffer(std::filesystem::file_size(path) + 1);
    for (auto _ : state) {
        int const descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            state.SkipWithError("cannot open the snapshot file");
            break;
        }
        std::size_t length = 0;
        ssize_t count = 0;
        while ((count = ::read(descriptor, buffer.data() + length, buffer.size() - length)) > 0)
            length += static_cast<std::size_t>(count);
        ::close(descriptor);
        benchmark::DoNotOptimize(length);
    }
}

// A DOM of the same bytes with the parser's default flags: no checks, no
// records built from it.
BENCHMARK_F(SnapshotFile, FloorBareParse)(benchmark::State& state)
{
    auto const json = demoJSON();
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse(json.data(), json.size());
        benchmark::DoNotOptimize(document.HasParseError());
    }
}

