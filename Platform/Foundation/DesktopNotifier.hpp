// DesktopNotifier: notifications shown by the desktop's notification
// service on the session bus (whatever daemon the desktop runs), and
// whether one answered.
//
// The work is done by a module loaded on first use (libnotify and what it
// brings are mapped only into a process that notifies), as the drawing
// back end is.
//
//   Foundation::DesktopNotifier notifier("My program");
//   if (auto const problem = notifier.send({ .summary = "Done", .body = "", ... }))
//       report(*problem);
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace Foundation {

// How insistently the service shows it: a critical one usually stays until
// the user closes it.
enum class Urgency { low, normal, critical };

struct DesktopNotification {
    std::string summary;
    std::string body; // may be empty
    Urgency urgency;
    // An icon name of the desktop's theme or an absolute file path.
    std::optional<std::string> icon;
    // The sender's desktop entry without ".desktop", so the service can
    // group its notifications and show its name.
    std::optional<std::string> desktopEntry;

    friend bool operator==(const DesktopNotification&, const DesktopNotification&) = default;
};

// How long a service may take to answer before it counts as absent: long
// enough for a daemon the bus starts on demand, short enough that a program
// never stalls on a hung one.
inline constexpr std::chrono::milliseconds serviceAnswerTimeout { 3000 };

class DesktopNotificationService;

// One per process (the underlying library keeps the application name in
// global state): the first is the one that counts.
class DesktopNotifier {
public:
    explicit DesktopNotifier(const std::string& applicationName);
    ~DesktopNotifier();
    DesktopNotifier(const DesktopNotifier&) = delete;
    DesktopNotifier& operator=(const DesktopNotifier&) = delete;

    // Asks the notification service who it is: nothing when it answered,
    // else why not (the module cannot be loaded, no session bus, no
    // service on it, no answer in time). Connects to the session bus on
    // first use, and again after the bus went away; never throws.
    std::optional<std::string> serviceProblem();

    // Hands the notification to the service: nothing when it took it, else
    // why not, as for serviceProblem. Never throws.
    std::optional<std::string> send(const DesktopNotification& notification);

private:
    // Nothing when the module could not be loaded; `m_loadProblem` says why.
    std::unique_ptr<DesktopNotificationService> m_service;
    std::string m_loadProblem;
};

}
