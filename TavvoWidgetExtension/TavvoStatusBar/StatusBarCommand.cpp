#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarCommand.hpp"

#include "Platform/CommandLine/OptionValidators.hpp"
#include "Platform/CommandLine/UsageError.hpp"
#include "Platform/Foundation/ExecutablePath.hpp"
#include "Platform/Foundation/StandardOutput.hpp"
#include "Platform/Foundation/TerminationSignals.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarOutput.hpp"
#include "TavvoWidgetExtension/TavvoSurfaces/SurfaceSource.hpp"

#include <fmt/format.h>

#include <system_error>

namespace TavvoSurfaces {

namespace {

using CommandLine::ExitStatus;

struct Settings {
    StatusBarFormat format = StatusBarFormat::text;
    TavvoWidgetProviderID provider = TavvoWidgetProviderID::codex;
    bool oneProvider = false;
    UI::Appearance appearance = UI::Appearance::dark;
    bool watch = false;
};

// The reader of standard output went away: the run is over, and that is
// how a bar says so, not a failure.
struct OutputClosed { };

// Writes all of `text` at once: a bar reads line by line, and a line cut
// in two by a short write would show half.
void print(std::string_view text)
{
    auto const error = Foundation::writeStandardOutput(text);
    if (error == std::errc::broken_pipe)
        throw OutputClosed();
    if (error)
        throw std::system_error(error, "cannot write the line");
}

ExitStatus run(const Settings& settings, const WidgetKit::LentServices& lent)
{
    // A closed pipe shows as EPIPE from write rather than ending the
    // process unannounced.
    Foundation::failWritesToClosedPipes();
    // genmon and Conky wait for the command to end: a watcher would hang
    // the panel or the block, and show nothing.
    if (settings.watch && !streams(settings.format))
        throw CommandLine::UsageError(fmt::format("--watch: {} runs the command anew each time and waits for it to end; leave --watch out",
            Foundation::rawValue(settings.format)));
    auto const only = settings.oneProvider ? std::optional(settings.provider) : std::nullopt;
    // The click names this very program, so that it opens the window
    // whether the host found the command on PATH or by its whole path.
    auto const self = Foundation::executablePath();
    StatusBarOutputOptions const options { .appearance = settings.appearance, .program = self.empty() ? StatusBarOutputOptions().program : self };
    StatusBarStream stream(settings.format);
    try {
        if (!settings.watch) {
            SurfaceSource const source(lent(WidgetKit::PinnedClock::stays));
            auto const line = statusBarLine(StatusBarSummary(source.entry(source.now()), only), settings.format, options);
            print(stream.opening() + stream.next(line) + stream.closing());
            return ExitStatus::success;
        }
        SurfaceSource const source(lent(WidgetKit::PinnedClock::runsOn));
        print(stream.opening());
        std::string last;
        std::optional<Foundation::Date> nextChange;
        source.watch(
            [&](const TavvoWidgetEntry& entry) {
                StatusBarSummary const summary(entry, only);
                nextChange = showsLongForm(settings.format) ? summary.nextTooltipChange() : std::nullopt;
                auto line = statusBarLine(summary, settings.format, options);
                // The same line again would make a bar redraw (and close
                // an open tooltip) for nothing.
                if (line != last)
                    print(stream.next(line));
                last = std::move(line);
            },
            [&](const TavvoWidgetEntry&, Foundation::Date) { return nextChange; }, STDOUT_FILENO);
    } catch (const OutputClosed&) {
    }
    return ExitStatus::success;
}

}

void addStatusBarCommand(CommandLine::Program& program, const WidgetKit::LentServices& lent)
{
    auto [bar, settings] = program.command({ "bar" },
        "Print the limits as one line for a status bar or a terminal: the remaining share of each\n"
        "provider's binding limit, coloured by how close it is to running out. With --watch, print a\n"
        "new line whenever it changes (the snapshot, the language, freshness ending, a countdown's\n"
        "minute), and only then.",
        Settings {}, [lent](const Settings& chosen) { return run(chosen, lent); });
    bar.add_option("--format", settings.format, "the bar's protocol (default text)")
        ->transform(CommandLine::rawValueChoice<StatusBarFormat>())
        ->type_name(CommandLine::rawValuesJoined<StatusBarFormat>("|"));
    bar.add_option("--provider", settings.provider, "show this provider only")
        ->transform(CommandLine::rawValueChoice<TavvoWidgetProviderID>())
        ->type_name(CommandLine::rawValuesJoined<TavvoWidgetProviderID>("|"))
        ->each([&settings](const std::string&) { settings.oneProvider = true; });
    bar.add_option("--appearance", settings.appearance, "the colours for a dark or a light bar (default dark)")
        ->transform(CommandLine::rawValueChoice<UI::Appearance>())
        ->type_name(CommandLine::rawValuesJoined<UI::Appearance>("|"));
    bar.add_flag("--watch", settings.watch,
        "keep running; SIGTERM, SIGINT or a closed pipe end it with status 0 (not with genmon or conky, which wait for the end)");
}

} // namespace TavvoSurfaces
