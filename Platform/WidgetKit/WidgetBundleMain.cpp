#include "Platform/WidgetKit/WidgetBundleMain.hpp"

#include "Platform/CommandLine/BashCompletion.hpp"
#include "Platform/CommandLine/OptionValidators.hpp"
#include "Platform/CommandLine/Program.hpp"
#include "Platform/CommandLine/UsageError.hpp"
#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Renderer.hpp"
#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"
#include "Platform/WidgetKit/LiveWidgetWindow.hpp"
#include "Platform/WidgetKit/WidgetHost.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace WidgetKit {

namespace {

enum class RenderFormat { png, svg, pdf, text, accessibility, tree };

}

}

template <>
struct Foundation::RawValues<WidgetKit::RenderFormat> {
    static constexpr std::array<std::string_view, 6> texts { "png", "svg", "pdf", "text", "accessibility", "tree" };
};

namespace WidgetKit {

namespace {

using CommandLine::ExitStatus;
using CommandLine::UsageError;

// The host's own options; empty when not given.
struct HostOptions {
    std::string now;
    std::string baseDirectory;
};

WidgetServices services(const HostOptions& options, PinnedClock pinned)
{
    auto services = WidgetServices::system();
    if (!options.now.empty()) {
        auto const now = Foundation::parseInternetDateTime(options.now);
        if (!now)
            throw UsageError(fmt::format("--now expects an RFC 3339 instant such as 2026-12-07T12:00:00Z, not '{}'", options.now));
        if (pinned == PinnedClock::runsOn) {
            auto const system = services.clock;
            auto const started = system();
            services.clock = [now = *now, started, system] { return now + (system() - started); };
        } else {
            services.clock = [now = *now] { return now; };
        }
    }
    if (!options.baseDirectory.empty())
        services.fileManager = std::make_shared<ContainerFolderFileManager>(options.baseDirectory);
    return services;
}

WidgetHost makeHost(const WidgetBundleBody& body, const WidgetServices& services)
{
    auto const widgets = body(services);
    if (widgets.size() != 1)
        throw std::runtime_error(fmt::format("the bundle declares {} widgets; this host shows exactly one", widgets.size()));
    return WidgetHost(widgets.front());
}

// The requests that take no family still need one to ask the provider in.
WidgetFamily defaultFamily(const WidgetHost& host)
{
    auto const& families = host.widget().supportedFamilies();
    return families.empty() ? WidgetFamily::systemSmall : families.front();
}

using Writer = Foundation::JSONWriter;

ExitStatus printJSON(const std::function<void(Writer&)>& write)
{
    Writer writer;
    write(writer);
    fmt::print("{}\n", writer.text());
    return ExitStatus::success;
}

ExitStatus describe(const WidgetHost& host)
{
    return printJSON([&](Writer& writer) {
        writer.StartObject();
        writer.Key("kind");
        Foundation::writeJSONString(writer, host.widget().kind());
        writer.Key("displayName");
        Foundation::writeJSONString(writer, host.widget().displayName());
        writer.Key("description");
        Foundation::writeJSONString(writer, host.widget().description());
        writer.Key("families");
        writer.StartArray();
        for (auto const family : host.widget().supportedFamilies())
            Foundation::writeJSONString(writer, WidgetKit::name(family));
        writer.EndArray();
        writer.EndObject();
    });
}

ExitStatus printEntry(const HostedEntry& entry)
{
    return printJSON(entry.writeJSON);
}

ExitStatus printTimeline(const HostedTimeline& timeline)
{
    return printJSON([&](Writer& writer) {
        writer.StartObject();
        writer.Key("entries");
        writer.StartArray();
        for (auto const& entry : timeline.entries)
            entry.writeJSON(writer);
        writer.EndArray();
        writer.Key("reloadAfter");
        Foundation::writeJSONDate(writer, timeline.policy.date);
        writer.EndObject();
    });
}

// What a picture is written as: an image is never sent to a terminal.
enum class OutputKind { text, image };

void writeOutput(const std::string& path, const std::string& bytes, OutputKind kind)
{
    if (path.empty() || path == "-") {
        if (kind == OutputKind::image && isatty(STDOUT_FILENO))
            throw UsageError("not writing an image to a terminal; give -o FILE");
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        std::fflush(stdout);
        return;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "cannot write file " + path);
}

struct RenderOptions {
    WidgetFamily family = WidgetFamily::systemSmall;
    Request request = Request::timeline;
    UI::Appearance appearance = UI::Appearance::light;
    double scale = 2;
    RenderFormat format = RenderFormat::png;
    std::string output;
};

ExitStatus render(const WidgetHost& host, const RenderOptions& options)
{
    auto const root = host.layout(host.entry(options.request, options.family), options.family);
    UI::RenderOptions const drawing { .scale = options.scale, .appearance = options.appearance };
    switch (options.format) {
    case RenderFormat::png:
        writeOutput(options.output, UI::renderPNG(root, drawing), OutputKind::image);
        break;
    case RenderFormat::svg:
        writeOutput(options.output, UI::renderSVG(root, drawing), OutputKind::text);
        break;
    case RenderFormat::pdf:
        writeOutput(options.output, UI::renderPDF(root, drawing), OutputKind::image);
        break;
    case RenderFormat::text:
        writeOutput(options.output, UI::textDump(root), OutputKind::text);
        break;
    case RenderFormat::accessibility:
        writeOutput(options.output, UI::accessibilityDump(root), OutputKind::text);
        break;
    case RenderFormat::tree:
        writeOutput(options.output, UI::treeDump(root, options.appearance) + "\n", OutputKind::text);
        break;
    }
    return ExitStatus::success;
}

// "systemSmall, systemMedium, ..." from the families the host knows.
std::string familyNames()
{
    std::vector<std::string_view> names;
    for (auto const family : allWidgetFamilies)
        names.push_back(name(family));
    return fmt::format("{}", fmt::join(names, ", "));
}

// Every text that names a family: the names, then the short forms.
std::vector<std::string> familyTexts()
{
    std::vector<std::string> texts;
    for (auto const family : allWidgetFamilies)
        texts.emplace_back(name(family));
    for (auto const family : allWidgetFamilies)
        texts.emplace_back(shortName(family));
    return texts;
}

CLI::Option* addFamilyOption(CLI::App& command, WidgetFamily& family, std::string description)
{
    return command.add_option("--family", family, std::move(description))
        ->transform(CommandLine::choice<WidgetFamily>(widgetFamilyNamed, familyNames(), familyTexts()))
        ->type_name("F");
}

// Beyond 8 a large widget's bitmap runs into hundreds of megabytes.
CLI::Validator scaleRange()
{
    return CLI::Validator(
        [](std::string& text) {
            double scale = 0;
            auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
            if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(scale) || scale < 0.5 || scale > 8)
                return fmt::format("expects a number from 0.5 to 8, not '{}'", text);
            return std::string();
        },
        "");
}

// The host the global options configure.
struct Hosting {
    const WidgetBundleBody& body;
    const HostOptions& options;

    // Answers a request on the widget built with the services the options
    // lend it; `request` is given the clock those services run on.
    ExitStatus run(PinnedClock pinned, const std::function<ExitStatus(const WidgetHost&, const Clock&)>& request) const
    {
        auto const lent = services(options, pinned);
        return request(makeHost(body, lent), lent.clock);
    }
};

struct SnapshotSettings {
    bool preview = false;
};

// describe, placeholder, snapshot and timeline: the provider's answers as
// JSON.
void addRequestCommands(CommandLine::Program& program, const Hosting& hosting)
{
    program.command({ "describe" }, "Print the widget's kind, name, description and families as JSON.", [&hosting] {
        return hosting.run(PinnedClock::stays, [](const WidgetHost& widget, const Clock&) { return describe(widget); });
    });
    program.command({ "placeholder" }, "Print the placeholder entry as JSON; the snapshot file is not read.", [&hosting] {
        return hosting.run(
            PinnedClock::stays, [](const WidgetHost& widget, const Clock&) { return printEntry(widget.placeholder(defaultFamily(widget))); });
    });
    auto [snapshot, settings] = program.command({ "snapshot" },
        "Print the entry for the widget's current picture as JSON; --preview asks for the gallery's preview.", SnapshotSettings {},
        [&hosting](const SnapshotSettings& chosen) {
            return hosting.run(PinnedClock::stays, [&chosen](const WidgetHost& widget, const Clock&) {
                return printEntry(widget.entry(chosen.preview ? Request::preview : Request::snapshot, defaultFamily(widget)));
            });
        });
    snapshot.add_flag("--preview", settings.preview, "ask for the picture of the widget gallery");
    program.command({ "timeline" }, "Print the timeline as JSON: its entries and the instant to ask again.", [&hosting] {
        return hosting.run(
            PinnedClock::stays, [](const WidgetHost& widget, const Clock&) { return printTimeline(widget.timeline(defaultFamily(widget))); });
    });
}

void addRenderCommand(CommandLine::Program& program, const Hosting& hosting)
{
    auto [render, rendering] = program.command({ "render" },
        "Answer the request and draw its entry at the family's size. Writes FILE, or standard output.", RenderOptions {},
        [&hosting](const RenderOptions& chosen) {
            return hosting.run(PinnedClock::stays, [&chosen](const WidgetHost& widget, const Clock&) { return WidgetKit::render(widget, chosen); });
        });
    addFamilyOption(render, rendering.family, fmt::format("the family: {}, or a short form such as small or extra-large", familyNames()))
        ->required();
    render.add_option("--request", rendering.request, "the request whose entry is drawn (default timeline)")
        ->transform(CommandLine::rawValueChoice<Request>())
        ->type_name(CommandLine::rawValuesJoined<Request>("|"));
    render.add_option("--appearance", rendering.appearance, "the desktop style to draw in (default light)")
        ->transform(CommandLine::rawValueChoice<UI::Appearance>())
        ->type_name(CommandLine::rawValuesJoined<UI::Appearance>("|"));
    render.add_option("--scale", rendering.scale, "pixels a point, from 0.5 to 8 (default 2)")->check(scaleRange())->type_name("N");
    render.add_option("--format", rendering.format, "an image, or a dump of the texts, the spoken labels or the view tree (default png)")
        ->transform(CommandLine::rawValueChoice<RenderFormat>())
        ->type_name(CommandLine::rawValuesJoined<RenderFormat>("|"));
    render.add_option("-o,--output", rendering.output, "the file to write; - is standard output")
        ->type_name("FILE")
        ->check(CommandLine::completes(CommandLine::ValueKind::files));
}

struct ShowSettings {
    LiveWidgetOptions live;
    std::string appearance = "auto";
};

void addShowCommand(CommandLine::Program& program, const Hosting& hosting, const std::string& programName)
{
    ShowSettings initial {
        .live = { .family = WidgetFamily::systemMedium, .appearance = std::nullopt, .clock = {}, .reportFrames = false, .programName = programName },
        .appearance = "auto",
    };
    auto [show, settings] = program.command({ "show" },
        "Keep the widget on the desktop in a window of the family's size, updated at its reload dates and\n"
        "whenever the snapshot or the language changes; a click opens its address. With --now, the clock\n"
        "starts at that instant and runs on.",
        std::move(initial), [&hosting](const ShowSettings& chosen) {
            return hosting.run(PinnedClock::runsOn, [&chosen](const WidgetHost& widget, const Clock& clock) {
                auto live = chosen.live;
                // "auto" names no appearance: the window follows the desktop's.
                live.appearance = Foundation::fromRawValue<UI::Appearance>(chosen.appearance);
                live.clock = clock;
                return static_cast<ExitStatus>(runLiveWidgetWindow(widget, live));
            });
        });
    addFamilyOption(show, settings.live.family, "the family (default medium)");
    auto const& lightAndDark = Foundation::RawValues<UI::Appearance>::texts;
    std::vector<std::string> appearances(lightAndDark.begin(), lightAndDark.end());
    appearances.push_back("auto");
    show.add_option("--appearance", settings.appearance, "auto (the default) follows the desktop's light or dark style")
        ->check(CommandLine::oneOf(appearances))
        ->type_name(fmt::format("{}", fmt::join(appearances, "|")));
    show.add_flag("--report-frames", settings.live.reportFrames, "print a line for every new picture");
}

}

int widgetBundleMain(std::string_view programName, const WidgetBundleBody& body, std::span<const std::string> arguments,
    const ProgramCommands& programCommands)
{
    std::string const program(programName);
    CommandLine::Program line(program, program + ": the widget program; answers the widget host's requests from the command line.",
        "Exit status: 0 done, 1 failure, 2 usage error.");

    HostOptions hostOptions;
    line.global()
        .add_option("--now", hostOptions.now, "answer as if it were INSTANT (RFC 3339, e.g. 2026-12-07T12:00:00Z)")
        ->type_name("INSTANT");
    line.global()
        .add_option("--base-dir", hostOptions.baseDirectory, "use DIR in place of the shared folder (for tests and scripts)")
        ->type_name("DIR")
        ->transform(CommandLine::nonEmpty("a folder"))
        ->check(CommandLine::completes(CommandLine::ValueKind::directories));

    Hosting const hosting { body, hostOptions };
    addRequestCommands(line, hosting);
    addRenderCommand(line, hosting);
    addShowCommand(line, hosting, program);
    if (programCommands)
        programCommands(line, [&hostOptions](PinnedClock pinned) { return services(hostOptions, pinned); });
    CommandLine::addCompletionCommand(line);

    return line.run(arguments, [](std::exception_ptr error) -> std::optional<CommandLine::Program::Failure> {
        try {
            std::rethrow_exception(error);
        } catch (const UnsupportedFamilyError& unsupported) {
            return CommandLine::Program::Failure { ExitStatus::usage, unsupported.what() };
        } catch (...) {
            return std::nullopt;
        }
    });
}

}
