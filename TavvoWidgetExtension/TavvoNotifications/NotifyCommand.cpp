#include "TavvoWidgetExtension/TavvoNotifications/NotifyCommand.hpp"

#include "Platform/Foundation/DesktopNotifier.hpp"
#include "TavvoShared/State/TavvoStateFile.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRules.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationTexts.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/NotificationLedger.hpp"
#include "TavvoWidgetExtension/TavvoSurfaces/SurfaceSource.hpp"

#include <fmt/format.h>

#include <exception>

namespace TavvoSurfaces {

namespace {

using CommandLine::ExitStatus;

// The notification service shows these beside each notification: the
// widget's desktop entry and its icon.
constexpr char const* applicationName = "Tavvo";
constexpr char const* desktopEntry = "app.tavvo.Widget";
constexpr char const* iconName = "utilities-system-monitor";

// In the state folder.
constexpr char const* recordName = "notifications.json";

void warn(const std::string& message)
{
    fmt::print(stderr, "tavvo-widget: {}\n", message);
}

// Evaluates entries against the record, tells the desktop, and keeps the
// record. Events the desktop could not show count as told all the same:
// shown late, after the service comes back, they would tell of a state
// long gone.
class Notifier {
public:
    explicit Notifier(const std::optional<std::filesystem::path>& recordFile)
        : m_ledger(recordFile)
        , m_desktop(applicationName)
    {
        if (!recordFile)
            warn("no state folder (XDG_STATE_HOME or HOME): what was notified is forgotten when this ends");
        auto reading = m_ledger.read();
        if (reading.problem)
            warn(*reading.problem);
        m_record = std::move(reading.record);
        // Said at once rather than at the first event, which may be days
        // away.
        if (auto const problem = m_desktop.serviceProblem())
            reportUndelivered(*problem);
    }

    void evaluate(const TavvoWidgetEntry& entry)
    {
        auto outcome = evaluateLimitNotifications(m_record, entry, m_evaluation);
        m_evaluation = Evaluation::later;
        for (auto const& event : outcome.events) {
            auto texts = limitNotificationTexts(event, entry.date);
            auto const problem = m_desktop.send({
                .summary = std::move(texts.summary),
                .body = std::move(texts.body),
                .urgency = urgency(event),
                .icon = iconName,
                .desktopEntry = desktopEntry,
            });
            if (problem)
                reportUndelivered(*problem);
        }
        m_record = std::move(outcome.record);
        m_ledger.save(m_record);
    }

private:
    // Once per run: a desktop without a notification service is a choice,
    // not a fault, and a service that comes back is used again.
    void reportUndelivered(const std::string& problem)
    {
        if (m_reportedUndelivered)
            return;
        m_reportedUndelivered = true;
        warn(problem + "; notifications are not shown");
    }

    NotificationLedger m_ledger;
    Foundation::DesktopNotifier m_desktop;
    LimitNotificationRecord m_record;
    Evaluation m_evaluation = Evaluation::first;
    bool m_reportedUndelivered = false;
};

struct NotifySettings {
    bool watch = false;
};

ExitStatus notifyOnce(const WidgetKit::LentServices& lent)
{
    SurfaceSource const source(lent(WidgetKit::PinnedClock::stays));
    Notifier notifier(Tavvo::stateFile(recordName));
    notifier.evaluate(source.entry(source.now()));
    return ExitStatus::success;
}

ExitStatus notifyWatching(const WidgetKit::LentServices& lent)
{
    SurfaceSource const source(lent(WidgetKit::PinnedClock::runsOn));
    Notifier notifier(Tavvo::stateFile(recordName));
    // Kept running as a service: a record that cannot be written is
    // reported, and the next pass tries again.
    source.watch(
        [&](const TavvoWidgetEntry& entry) {
            try {
                notifier.evaluate(entry);
            } catch (const std::exception& error) {
                warn(error.what());
            }
        },
        // Time alone never makes news: the widget's own reload dates are
        // enough to notice data going stale.
        [](const TavvoWidgetEntry&, Foundation::Date) { return std::optional<Foundation::Date>(); }, std::nullopt);
    return ExitStatus::success;
}

}

void addNotifyCommand(CommandLine::Program& program, const WidgetKit::LentServices& lent)
{
    auto [command, settings] = program.command({ "notify" },
        "Show a desktop notification when a limit runs low or starts a new window after running low, and when\n"
        "Codex's forecast says it runs out before it resets; each once per limit and window, remembered in\n"
        "$XDG_STATE_HOME/tavvo/notifications.json. What is already so when it starts is not notified.",
        NotifySettings {}, [lent](const NotifySettings& chosen) { return chosen.watch ? notifyWatching(lent) : notifyOnce(lent); });
    command.add_flag("--watch", settings.watch,
        "keep running: look again whenever the snapshot or the language changes (SIGTERM or SIGINT ends it)");
}

} // namespace TavvoSurfaces
