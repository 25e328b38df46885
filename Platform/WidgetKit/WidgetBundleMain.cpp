#include "Platform/WidgetKit/WidgetBundleMain.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Renderer.hpp"
#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"
#include "Platform/WidgetKit/JSONIndentation.hpp"
#include "Platform/WidgetKit/LiveWidgetWindow.hpp"
#include "Platform/WidgetKit/WidgetCommandLine.hpp"
#include "Platform/WidgetKit/WidgetHost.hpp"

#include <fmt/format.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace WidgetKit {

namespace {

enum class ExitStatus : int { success = 0, failure = 1, usage = 2 };

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    std::vector<CommandOption> options;
};

const std::vector<Command>& commands()
{
    static std::vector<Command> const table {
        { "describe", "describe", "Print the widget's kind, name, description and families as JSON.", {} },
        { "placeholder", "placeholder", "Print the placeholder entry as JSON; the snapshot file is not read.", {} },
        { "snapshot", "snapshot [--preview]",
            "Print the entry for the widget's current picture as JSON; --preview asks for the gallery's preview.",
            { { "--preview", false } } },
        { "timeline", "timeline", "Print the timeline as JSON: its entries and the instant to ask again.", {} },
        { "render",
            "render --family F [--request timeline|snapshot|preview|placeholder] [--appearance light|dark]\n"
            "         [--scale N] [--format png|svg|pdf|text|accessibility|tree] [-o FILE]",
            "Answer the request and draw its entry at the family's size (F: systemSmall, systemMedium,\n"
            "      systemLarge, systemExtraLarge, or small, medium, large, extra-large). Defaults: timeline,\n"
            "      light, scale 2, png. Writes FILE, or standard output.",
            { { "--family", true }, { "--request", true }, { "--appearance", true }, { "--scale", true },
                { "--format", true }, { "--output", true, "-o" } } },
        { "show", "show [--family F] [--appearance light|dark|auto] [--report-frames]",
            "Keep the widget on the desktop in a window of the family's size (default medium), updated at its\n"
            "      reload dates and whenever the snapshot or the language changes; a click opens its address.\n"
            "      auto (the default) follows the desktop's light or dark style. --report-frames prints a line\n"
            "      for every new picture. With --now, the clock starts at that instant and runs on.",
            { { "--family", true }, { "--appearance", true }, { "--report-frames", false } } },
    };
    return table;
}

const Command* findCommand(std::string_view name)
{
    auto const found = std::find_if(commands().begin(), commands().end(), [name](const Command& command) { return command.name == name; });
    return found == commands().end() ? nullptr : &*found;
}

void printHelp(std::string_view program, const Command* only)
{
    std::string text;
    if (!only)
        text += fmt::format("{}: the widget program; answers the widget host's requests from the command line.\n\n", program);
    text += "Usage:\n";
    for (auto const& command : commands()) {
        if (!only || only == &command)
            text += fmt::format("  {} {}\n      {}\n", program, command.usage, command.summary);
    }
    text += "\nGlobal options (before or after the command):\n"
            "  --now INSTANT     answer as if it were INSTANT (RFC 3339, e.g. 2026-12-07T12:00:00Z)\n"
            "  --base-dir DIR    use DIR in place of the shared folder (for tests and scripts)\n"
            "  -h, --help        show help for the command\n"
            "\nExit status: 0 done, 1 failure, 2 usage error.\n";
    fmt::print("{}", text);
}

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

void writeString(Writer& writer, std::string_view text)
{
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

void writeDate(Writer& writer, Foundation::Date date)
{
    if (auto const text = Foundation::formatInternetDateTime(date))
        writeString(writer, *text);
    else
        writer.Null();
}

void writeRaw(Writer& writer, std::string_view json, int depth)
{
    auto const text = indentedJSON(json, depth);
    writer.RawValue(text.data(), text.size(), rapidjson::kObjectType);
}

void printJSON(const std::function<void(Writer&)>& write)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.SetIndent(' ', 2);
    write(writer);
    fmt::print("{}\n", std::string_view(buffer.GetString(), buffer.GetSize()));
}

Foundation::Date parseNow(const std::string& text)
{
    auto const date = Foundation::parseInternetDateTime(text);
    if (!date)
        throw UsageError(fmt::format("--now expects an RFC 3339 instant such as 2026-12-07T12:00:00Z, not '{}'", text));
    return *date;
}

WidgetServices services(const WidgetCommandLine& line)
{
    auto services = WidgetServices::system();
    if (line.now) {
        auto const now = parseNow(*line.now);
        if (line.command == "show") {
            // A live window's time must pass, or it would never reload:
            // it starts at the instant given and runs on from there.
            auto const system = services.clock;
            auto const started = system();
            services.clock = [now, started, system] { return now + (system() - started); };
        } else {
            services.clock = [now] { return now; };
        }
    }
    if (line.baseDirectory) {
        if (line.baseDirectory->empty())
            throw UsageError("--base-dir needs a folder");
        services.fileManager = std::make_shared<ContainerFolderFileManager>(*line.baseDirectory);
    }
    return services;
}

template <class Value>
Value choice(const WidgetCommandLine& line, std::string_view option, std::initializer_list<std::pair<std::string_view, Value>> values, Value fallback)
{
    auto const text = line.option(option);
    if (!text)
        return fallback;
    for (auto const& [name, value] : values) {
        if (*text == name)
            return value;
    }
    std::string names;
    for (auto const& [name, value] : values)
        names += (names.empty() ? "" : ", ") + std::string(name);
    throw UsageError(fmt::format("unknown value '{}' for {} (expected {})", *text, option, names));
}

WidgetFamily familyOption(const WidgetCommandLine& line, std::optional<WidgetFamily> fallback)
{
    auto const text = line.option("--family");
    if (!text && fallback)
        return *fallback;
    if (!text)
        throw UsageError(*line.command + " needs --family");
    auto const family = widgetFamilyNamed(*text);
    if (!family)
        throw UsageError(fmt::format("unknown family '{}' (expected systemSmall, systemMedium, systemLarge, systemExtraLarge, "
                                     "small, medium, large or extra-large)",
            *text));
    return *family;
}

double scaleOption(const WidgetCommandLine& line)
{
    auto const text = line.option("--scale");
    if (!text)
        return 2;
    double scale = 0;
    auto const [end, error] = std::from_chars(text->data(), text->data() + text->size(), scale);
    // Beyond 8 a large widget's bitmap runs into hundreds of megabytes.
    if (error != std::errc() || end != text->data() + text->size() || !std::isfinite(scale) || scale < 0.5 || scale > 8)
        throw UsageError(fmt::format("--scale expects a number from 0.5 to 8, not '{}'", *text));
    return scale;
}

enum class Format { png, svg, pdf, text, accessibility, tree };

void writeOutput(const WidgetCommandLine& line, const std::string& bytes, bool binary)
{
    auto const path = line.option("--output");
    if (!path || *path == "-") {
        if (binary && isatty(STDOUT_FILENO))
            throw UsageError("not writing an image to a terminal; give -o FILE");
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        std::fflush(stdout);
        return;
    }
    std::ofstream file(*path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "cannot write file " + *path);
}

void writeEntry(Writer& writer, const HostedEntry& entry, int depth)
{
    writeRaw(writer, entry.jsonDescription, depth);
}

ExitStatus run(const WidgetHost& host, const WidgetCommandLine& line, const Clock& clock)
{
    auto const& name = *line.command;
    if (!line.operands.empty())
        throw UsageError(fmt::format("unexpected argument '{}'", line.operands.front()));
    // The requests that take no family still need one to ask the provider in.
    auto const defaultFamily = host.widget().supportedFamilies().empty() ? WidgetFamily::systemSmall : host.widget().supportedFamilies().front();

    if (name == "describe") {
        printJSON([&](Writer& writer) {
            writer.StartObject();
            writer.Key("kind");
            writeString(writer, host.widget().kind());
            writer.Key("displayName");
            writeString(writer, host.widget().displayName());
            writer.Key("description");
            writeString(writer, host.widget().description());
            writer.Key("families");
            writer.StartArray();
            for (auto const family : host.widget().supportedFamilies())
                writeString(writer, WidgetKit::name(family));
            writer.EndArray();
            writer.EndObject();
        });
    } else if (name == "placeholder" || name == "snapshot") {
        auto const entry = name == "placeholder" ? host.placeholder(defaultFamily) : host.snapshot(defaultFamily, line.flag("--preview"));
        printJSON([&](Writer& writer) { writeEntry(writer, entry, 0); });
    } else if (name == "timeline") {
        auto const timeline = host.timeline(defaultFamily);
        printJSON([&](Writer& writer) {
            writer.StartObject();
            writer.Key("entries");
            writer.StartArray();
            for (auto const& entry : timeline.entries)
                writeEntry(writer, entry, 2);
            writer.EndArray();
            writer.Key("reloadAfter");
            writeDate(writer, timeline.policy.date);
            writer.EndObject();
        });
    } else if (name == "show") {
        auto const appearance = choice<std::optional<UI::Appearance>>(line, "--appearance",
            { { "light", UI::Appearance::light }, { "dark", UI::Appearance::dark }, { "auto", std::nullopt } }, std::nullopt);
        return static_cast<ExitStatus>(runLiveWidgetWindow(host,
            { familyOption(line, WidgetFamily::systemMedium), appearance, clock, line.flag("--report-frames") }));
    } else {
        auto const family = familyOption(line, std::nullopt);
        auto const request = choice<Request>(line, "--request",
            { { "timeline", Request::timeline }, { "snapshot", Request::snapshot }, { "preview", Request::preview },
                { "placeholder", Request::placeholder } },
            Request::timeline);
        auto const appearance = choice<UI::Appearance>(line, "--appearance",
            { { "light", UI::Appearance::light }, { "dark", UI::Appearance::dark } }, UI::Appearance::light);
        auto const format = choice<Format>(line, "--format",
            { { "png", Format::png }, { "svg", Format::svg }, { "pdf", Format::pdf }, { "text", Format::text },
                { "accessibility", Format::accessibility }, { "tree", Format::tree } },
            Format::png);
        auto const scale = scaleOption(line);
        auto const root = host.layout(host.entry(request, family), family);
        UI::RenderOptions const options { .scale = scale, .appearance = appearance };
        switch (format) {
        case Format::png:
            writeOutput(line, UI::renderPNG(root, options), true);
            break;
        case Format::svg:
            writeOutput(line, UI::renderSVG(root, options), false);
            break;
        case Format::pdf:
            writeOutput(line, UI::renderPDF(root, options), true);
            break;
        case Format::text:
            writeOutput(line, UI::textDump(root), false);
            break;
        case Format::accessibility:
            writeOutput(line, UI::accessibilityDump(root), false);
            break;
        case Format::tree:
            writeOutput(line, UI::treeDump(root, appearance) + "\n", false);
            break;
        }
    }
    return ExitStatus::success;
}

int fail(std::string_view program, ExitStatus status, const std::string& message)
{
    fmt::print(stderr, "{}: {}\n", program, message);
    return static_cast<int>(status);
}

}

int widgetBundleMain(std::string_view programName, const WidgetBundleBody& body, std::span<const std::string> arguments)
{
    try {
        auto const line = WidgetCommandLine::parse(arguments, [](std::string_view name) -> std::optional<std::vector<CommandOption>> {
            auto const* command = findCommand(name);
            if (!command)
                return std::nullopt;
            return command->options;
        });
        if (line.command && !findCommand(*line.command))
            throw UsageError(fmt::format("unknown command '{}'", *line.command));
        if (line.help || !line.command) {
            printHelp(programName, line.command ? findCommand(*line.command) : nullptr);
            return static_cast<int>(ExitStatus::success);
        }
        auto const lent = services(line);
        auto const widgets = body(lent);
        if (widgets.size() != 1)
            return fail(programName, ExitStatus::failure, fmt::format("the bundle declares {} widgets; this host shows exactly one", widgets.size()));
        return static_cast<int>(run(WidgetHost(widgets.front()), line, lent.clock));
    } catch (const UsageError& error) {
        return fail(programName, ExitStatus::usage, fmt::format("{} (see '{} --help')", error.what(), programName));
    } catch (const UnsupportedFamilyError& error) {
        return fail(programName, ExitStatus::usage, error.what());
    } catch (const std::exception& error) {
        return fail(programName, ExitStatus::failure, error.what());
    }
}

}
