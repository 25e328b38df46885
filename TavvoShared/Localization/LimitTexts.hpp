// Short texts about accounts and limits: counts with their plural forms,
// availability, percentages and "checked at" lines, in the language in
// force. The host program shows most of them; the widget shows
// `percentRemaining`.
#pragma once

#include <cstdint>
#include <string>

namespace L10n {

// "1 account", "3 accounts"; Russian "21 аккаунт", "22 аккаунта".
std::string accountCount(std::int64_t count);

// The accessibility text for a number of accounts that are ready.
std::string readyAccountCount(std::int64_t count);

// "3 of 5 with limits" and the like.
std::string limitAvailability(std::int64_t available, std::int64_t total);

// The line for when something was checked, or for the limits as of a
// moment; `time` is an already formatted time, passed through unchanged.
std::string checkedAt(const std::string& time);
std::string limitsAt(const std::string& time);

// How much of the five-hour window is used, and how much of a limit is
// left: "42% left".
std::string usedFiveHours(std::int64_t percent);
std::string percentRemaining(std::int64_t percent);

}
