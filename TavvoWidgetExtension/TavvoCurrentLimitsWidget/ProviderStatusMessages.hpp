// The two provider messages that the summary columns and the compact lines
// share: why no limit rows are shown, and when the shown values were last
// observed.
#pragma once

#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/Freshness.hpp"

#include <string>

// Why a provider shows no limit rows: the stale text when the data is
// stale, else what its status says (its note, verbatim, when it has one).
std::string statusMessage(const TavvoWidgetProviderSnapshot& provider, Freshness freshness);

// "Last known at <short time of observedAt>", or the stale text when the
// provider was never observed.
std::string lastKnownMessage(const TavvoWidgetProviderSnapshot& provider);
