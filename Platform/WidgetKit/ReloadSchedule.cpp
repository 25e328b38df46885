#include "Platform/WidgetKit/ReloadSchedule.hpp"

#include <algorithm>
#include <cstdint>

namespace WidgetKit {

namespace {

// `date` moved by `interval`, saturating at the ends of the range.
Foundation::Date later(Foundation::Date date, std::chrono::microseconds interval)
{
    if (date > Foundation::Date::max() - interval)
        return Foundation::Date::max();
    return date + interval;
}

}

void ReloadSchedule::timelineAnswered(Foundation::Date, TimelineReloadPolicy policy)
{
    m_nextRequest = policy.date;
    m_retryDelay = firstRetryDelay;
}

void ReloadSchedule::requestFailed(Foundation::Date now)
{
    m_nextRequest = later(now, m_retryDelay);
    m_retryDelay = std::min(m_retryDelay * 2, longestRetryDelay);
}

void ReloadSchedule::sourceChanged(Foundation::Date now)
{
    m_nextRequest = std::min(m_nextRequest, later(now, settleDelay));
}

std::chrono::milliseconds ReloadSchedule::delay(Foundation::Date now) const
{
    if (m_nextRequest <= now)
        return std::chrono::milliseconds(0);
    // Instants at opposite ends of the range are further apart than the
    // count can hold; such a wait is as good as forever.
    std::int64_t remaining = 0;
    if (__builtin_sub_overflow(m_nextRequest.time_since_epoch().count(), now.time_since_epoch().count(), &remaining))
        return std::chrono::milliseconds::max();
    return std::chrono::ceil<std::chrono::milliseconds>(std::chrono::microseconds(remaining));
}

}
