// Fuzzes the whole road from a document to what the widget shows: bytes
// that decode become an entry's snapshot, bytes that do not become its
// message; the entry is laid out in every size and dumped as text,
// accessibility labels and the JSON tree.
//
// Views never fail: whatever the document holds (huge or negative
// percentages, dates at the ends of the range, texts of any length and
// script), every family lays out inside its container, every frame is a
// finite rectangle, and the dumps are produced. Nothing may crash or trip a
// sanitizer.
#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// fontconfig keeps its caches for the life of the process; they are not
// leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

[[noreturn]] void fail(const char* what, WidgetKit::WidgetFamily family)
{
    std::fprintf(stderr, "%s in %.*s\n", what, static_cast<int>(name(family).size()), name(family).data());
    std::abort();
}

void checkFrames(const UI::LaidOutNode& node, WidgetKit::WidgetFamily family)
{
    auto const& frame = node.frame;
    if (!std::isfinite(frame.origin.x) || !std::isfinite(frame.origin.y) || !std::isfinite(frame.size.width)
        || !std::isfinite(frame.size.height) || frame.size.width < 0 || frame.size.height < 0)
        fail("a frame that is not a finite rectangle", family);
    for (auto const& child : node.children)
        checkFrames(child, family);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string const bytes(reinterpret_cast<const char*>(data), size);
    // A present instant inside the documents' usual range, so freshness,
    // countdowns and reset times all take their ordinary branches too.
    Foundation::Date const now = Foundation::Date(std::chrono::seconds(1'765'000'000));
    TavvoWidgetEntry entry { now, std::nullopt, std::nullopt };
    try {
        entry.snapshot = TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(bytes);
    } catch (const Tavvo::DecodingError&) {
        entry.errorText = bytes;
    }
    for (auto const family : WidgetKit::allWidgetFamilies) {
        auto const container = WidgetKit::size(family);
        auto const root = UI::layout(TavvoWidgetView(family, entry).body().composed(container), container);
        if (root.frame.size.width != container.width || root.frame.size.height != container.height)
            fail("the widget does not fill its container", family);
        checkFrames(root, family);
        if (UI::textDump(root).empty() || UI::treeDump(root).empty())
            fail("an empty dump", family);
        UI::accessibilityDump(root);
    }
    return 0;
}
