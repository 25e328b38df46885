// ReloadSchedule: when a live host asks its widget for the next timeline.
// It asks at once on start, then at the reload date the timeline named,
// soon after anything the widget reads has changed, and after a growing
// pause when a request failed. A pure value driven by the instants it is
// told, so the host's timer only ever waits for nextRequest().
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/WidgetKit/Timeline.hpp"

#include <chrono>

namespace WidgetKit {

class ReloadSchedule {
public:
    // Changes come in bursts (a temporary file written, then renamed over
    // the old one); waiting this long after the first makes one request of
    // the burst.
    static constexpr std::chrono::milliseconds settleDelay { 100 };
    // The pause after a failed request: doubling from the first to the
    // longest.
    static constexpr std::chrono::seconds firstRetryDelay { 5 };
    static constexpr std::chrono::seconds longestRetryDelay { 300 };

    // Due at once.
    ReloadSchedule() = default;

    // A timeline answered at `now`: the next request is at its reload date
    // (at once if that is already past).
    void timelineAnswered(Foundation::Date now, TimelineReloadPolicy policy);
    // The request at `now` failed: ask again after the pause, which doubles
    // with every failure in a row.
    void requestFailed(Foundation::Date now);
    // Something the widget reads changed at `now`: ask after settleDelay,
    // unless a request is due sooner anyway.
    void sourceChanged(Foundation::Date now);

    Foundation::Date nextRequest() const { return m_nextRequest; }
    // How long to wait from `now` until the next request; zero when due.
    std::chrono::milliseconds delay(Foundation::Date now) const;

private:
    Foundation::Date m_nextRequest = Foundation::Date::min();
    std::chrono::seconds m_retryDelay = firstRetryDelay;
};

}
