// The widget's picture of a document already read, step by step for each
// family: the view tree, its layout, and its drawing into memory and as a
// PNG. The floor is Cairo and Pango drawing the large family's texts with
// nothing of ours around them: no measuring, no shapes, no tree.
#include "Platform/UI/Layout.hpp"
#include "Platform/UI/Renderer.hpp"
#include "Platform/WidgetKit/WidgetFamily.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace {

using WidgetKit::WidgetFamily;

Foundation::Date const now { std::chrono::seconds(1'773'480'413) };

// The renderer's default, which the floor draws at too.
constexpr double scale = UI::RenderOptions {}.scale;

TavvoWidgetEntry demoEntry()
{
    return { now, TavvoWidgetTimelineProvider::demoSnapshot(now), std::nullopt };
}

UI::View composedView(WidgetFamily family)
{
    return TavvoWidgetView(family, demoEntry()).body().composed(WidgetKit::size(family));
}

UI::LaidOutNode laidOut(WidgetFamily family)
{
    return UI::layout(composedView(family), WidgetKit::size(family));
}

// Each case speaks English, so every family shows the same texts as the
// reference pictures.
void viewTree(benchmark::State& state, WidgetFamily family)
{
    ScopedLanguage const language("en");
    auto const entry = demoEntry();
    auto const size = WidgetKit::size(family);
    for (auto _ : state)
        benchmark::DoNotOptimize(TavvoWidgetView(family, entry).body().composed(size));
}

void layout(benchmark::State& state, WidgetFamily family)
{
    ScopedLanguage const language("en");
    auto const view = composedView(family);
    auto const size = WidgetKit::size(family);
    for (auto _ : state)
        benchmark::DoNotOptimize(UI::layout(view, size));
}

void renderImage(benchmark::State& state, WidgetFamily family)
{
    ScopedLanguage const language("en");
    auto const tree = laidOut(family);
    for (auto _ : state)
        benchmark::DoNotOptimize(UI::renderImage(tree));
}

void renderPNG(benchmark::State& state, WidgetFamily family)
{
    ScopedLanguage const language("en");
    auto const tree = laidOut(family);
    for (auto _ : state)
        benchmark::DoNotOptimize(UI::renderPNG(tree));
}

struct TextRun {
    std::string string;
    // "DejaVu Sans 13px": absolute sizes, as the canvas sets them, so that
    // the floor draws glyphs of the same size rather than 4/3 larger.
    std::string font;
    UI::Point origin;
};

void collectTextRuns(const UI::LaidOutNode& node, std::vector<TextRun>& runs)
{
    if (auto const* text = std::get_if<UI::LaidOutText>(&node.content)) {
        std::ostringstream font;
        font << "DejaVu Sans " << text->setting.pointSize << "px";
        runs.push_back({ text->string, font.str(), node.frame.origin });
    }
    for (auto const& child : node.children)
        collectTextRuns(child, runs);
}

void floorPangoCairo(benchmark::State& state, WidgetFamily family)
{
    ScopedLanguage const language("en");
    std::vector<TextRun> runs;
    collectTextRuns(laidOut(family), runs);
    auto const size = WidgetKit::size(family);
    int const width = static_cast<int>(std::ceil(size.width * scale));
    int const height = static_cast<int>(std::ceil(size.height * scale));
    for (auto _ : state) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* context = cairo_create(surface);
        cairo_scale(context, scale, scale);
        for (auto const& run : runs) {
            PangoLayout* layout = pango_cairo_create_layout(context);
            PangoFontDescription* font = pango_font_description_from_string(run.font.c_str());
            pango_layout_set_font_description(layout, font);
            pango_font_description_free(font);
            pango_layout_set_text(layout, run.string.data(), static_cast<int>(run.string.size()));
            cairo_move_to(context, run.origin.x, run.origin.y);
            pango_cairo_show_layout(context, layout);
            g_object_unref(layout);
        }
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
        cairo_destroy(context);
        cairo_surface_destroy(surface);
    }
    state.counters["texts"] = static_cast<double>(runs.size());
}

void registerFamilyCase(const std::string& step, void (*function)(benchmark::State&, WidgetFamily), WidgetFamily family)
{
    benchmark::RegisterBenchmark(("Widget/" + step + "/" + std::string(WidgetKit::name(family))).c_str(), function, family);
}

[[maybe_unused]] bool const registered = [] {
    for (auto const family : WidgetKit::allWidgetFamilies) {
        registerFamilyCase("ViewTree", viewTree, family);
        registerFamilyCase("Layout", layout, family);
        registerFamilyCase("RenderImage", renderImage, family);
        registerFamilyCase("RenderPNG", renderPNG, family);
    }
    // The drawing budget is read on the large family only.
    registerFamilyCase("FloorPangoCairo", floorPangoCairo, WidgetFamily::systemLarge);
    return true;
}();

}
