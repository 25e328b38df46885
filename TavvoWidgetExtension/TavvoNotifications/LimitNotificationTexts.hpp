// LimitNotificationTexts: what a notification says, in the language in
// force: the summary names the limit ("Codex 5h is running low") and the
// body what is left and when it resets, with the countdown; the forecast's
// says when the quota is predicted to run out, when that is known.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRules.hpp"

#include <string>

namespace TavvoSurfaces {

struct LimitNotificationTexts {
    std::string summary;
    std::string body; // lines; empty when nothing more is known

    friend bool operator==(const LimitNotificationTexts&, const LimitNotificationTexts&) = default;
};

// The texts of `event` told at `now` (the entry's date).
LimitNotificationTexts limitNotificationTexts(const LimitNotificationEvent& event, Foundation::Date now);

} // namespace TavvoSurfaces
