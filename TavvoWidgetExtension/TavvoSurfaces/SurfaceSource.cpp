#include "TavvoWidgetExtension/TavvoSurfaces/SurfaceSource.hpp"

#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoCurrentLimitsWidget.hpp"

namespace TavvoSurfaces {

SurfaceSource::SurfaceSource(const WidgetKit::WidgetServices& services)
    : m_provider(TavvoCurrentLimitsWidget::store(services), services.clock)
    , m_clock(services.clock)
{
}

TavvoWidgetEntry SurfaceSource::entry(Foundation::Date date) const
{
    return m_provider.loadEntry(date, TavvoWidgetTimelineProvider::EntryPurpose::display);
}

std::vector<Foundation::WatchedFolder> SurfaceSource::watchedFolders() const
{
    return Foundation::watchedFoldersForFiles(TavvoCurrentLimitsWidget::reloadSources(m_provider.store()));
}

void SurfaceSource::watch(const std::function<void(const TavvoWidgetEntry&)>& pass,
    const std::function<std::optional<Foundation::Date>(const TavvoWidgetEntry&, Foundation::Date now)>& nextTimedPassAt,
    std::optional<int> output) const
{
    // The last entry decides when time alone changes what it shows.
    std::optional<TavvoWidgetEntry> last;
    Foundation::runWatchedPasses({
        .pass =
            [&](Foundation::Date now) {
                last = entry(now);
                pass(*last);
            },
        .watchedFolders = [this] { return watchedFolders(); },
        .nextTimedPassAt =
            [&](Foundation::Date now) {
                auto next = TavvoWidgetTimelineProvider::reloadDate(last->snapshot, last->date);
                if (auto const own = nextTimedPassAt(*last, now); own && *own < next)
                    next = *own;
                return std::optional(next);
            },
        .clock = m_clock,
        .endsWhenClosed = output,
    });
}

} // namespace TavvoSurfaces
