// novik-gallery: draws the design kit's meter, mark and wordmark on one
// sheet per appearance, so a person can look at them.
//
//   novik-gallery [--scale N] DIRECTORY
//
// writes DIRECTORY/novik-gallery-light.png and novik-gallery-dark.png.
#include "Platform/UI/Layout.hpp"
#include "Platform/UI/Renderer.hpp"
#include "TavvoShared/NovikDesign/NovikMark.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSymbol.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoShared/NovikDesign/NovikWordmark.hpp"

#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view usage = "usage: novik-gallery [--scale N] DIRECTORY\n";

UI::View meterRow(std::optional<std::int64_t> remaining, double height)
{
    auto const label = remaining ? std::to_string(*remaining) + "%" : std::string("—");
    return UI::hstack(UI::VerticalAlignment::center, NovikMetrics::regular,
        {
            UI::text(label).font(UI::TextStyle::caption).monospacedDigit().frame({ .width = 44 }, UI::Alignment::trailing),
            NovikMeter(remaining, height).body(),
        });
}

UI::View sheet()
{
    std::vector<UI::View> rows;
    for (std::optional<std::int64_t> const remaining : { std::optional<std::int64_t>(), std::optional<std::int64_t>(0), std::optional<std::int64_t>(1), std::optional<std::int64_t>(10),
             std::optional<std::int64_t>(11), std::optional<std::int64_t>(30), std::optional<std::int64_t>(31), std::optional<std::int64_t>(50),
             std::optional<std::int64_t>(51), std::optional<std::int64_t>(100), std::optional<std::int64_t>(150) })
        rows.push_back(meterRow(remaining, NovikMetrics::meterRegular));
    rows.push_back(meterRow(42, NovikMetrics::meterCompact));

    std::vector<UI::View> marks;
    for (double const size : { 12.0, 20.0, 32.0, 64.0 })
        marks.push_back(NovikMark(size, NovikPalette::brand(), UI::Color::primary()).body());
    marks.push_back(NovikMark(32, NovikPalette::codex(), NovikPalette::claude()).body());

    rows.push_back(UI::hstack(UI::VerticalAlignment::center, NovikMetrics::section, marks));

    std::vector<UI::View> symbols;
    for (auto const* provider : { &TavvoProviderAppearance::codex(), &TavvoProviderAppearance::claude() }) {
        for (double const size : { 16.0, 32.0 })
            symbols.push_back(Tavvo::novikSymbol(provider->symbolName, size, provider->color));
        symbols.push_back(UI::text(provider->displayTitle).font(UI::TextStyle::headline).foregroundColor(provider->color));
    }
    rows.push_back(UI::hstack(UI::VerticalAlignment::center, NovikMetrics::regular, symbols));
    rows.push_back(NovikWordmark(16, UI::Font { .style = UI::TextStyle::headline, .weight = UI::FontWeight::bold }).body());
    rows.push_back(NovikWordmark(12, UI::Font { .style = UI::TextStyle::caption, .weight = UI::FontWeight::semibold }).body());

    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::loose, rows)
        .padding(NovikMetrics::section)
        .background(UI::rectangle().fill(UI::Color::windowBackground()));
}

}

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    double scale = 2;
    std::optional<std::filesystem::path> directory;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        auto const argument = arguments[index];
        if (argument == "--help" || argument == "-h") {
            std::cout << usage;
            return 0;
        }
        if (argument == "--scale" && index + 1 < arguments.size()) {
            auto const text = arguments[++index];
            auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
            if (error != std::errc() || end != text.data() + text.size() || !(scale > 0 && scale <= 16)) {
                std::cerr << "novik-gallery: --scale takes a number from 0 to 16\n";
                return 2;
            }
        } else if (!argument.starts_with('-') && !directory) {
            directory = std::filesystem::path(argument);
        } else {
            std::cerr << "novik-gallery: unexpected argument '" << argument << "'\n" << usage;
            return 2;
        }
    }
    if (!directory) {
        std::cerr << usage;
        return 2;
    }

    try {
        std::filesystem::create_directories(*directory);
        auto const tree = UI::layout(sheet(), { 360, 560 });
        for (auto const& [appearance, name] : { std::pair { UI::Appearance::light, "light" }, std::pair { UI::Appearance::dark, "dark" } }) {
            auto const path = *directory / ("novik-gallery-" + std::string(name) + ".png");
            std::ofstream file(path, std::ios::binary);
            file << UI::renderPNG(tree, { .scale = scale, .appearance = appearance });
            if (!file.flush())
                throw std::runtime_error("cannot write " + path.string());
            std::cout << path.string() << "\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "novik-gallery: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
