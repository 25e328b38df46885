#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoCurrentLimitsWidget.hpp"

#include "Platform/Foundation/Bundle.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

TavvoWidgetSnapshotStore TavvoCurrentLimitsWidget::store(const WidgetKit::WidgetServices& services)
{
    return TavvoWidgetSnapshotStore(
        TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle()), std::nullopt, services.fileManager);
}

std::vector<std::filesystem::path> TavvoCurrentLimitsWidget::reloadSources(const TavvoWidgetSnapshotStore& store)
{
    auto files = L10n::languageOverrideFiles();
    try {
        files.push_back(store.snapshotURL());
    } catch (const TavvoWidgetSnapshotStoreError&) {
        // No container: nothing to watch; the entry says so.
    }
    return files;
}

WidgetKit::WidgetConfiguration TavvoCurrentLimitsWidget::body(const WidgetKit::WidgetServices& services) const
{
    auto const store = TavvoCurrentLimitsWidget::store(services);
    // A host program that writes the snapshot or changes the language
    // wants the widget to show it at once.
    auto const reloadSources = [store] { return TavvoCurrentLimitsWidget::reloadSources(store); };
    using WidgetKit::WidgetFamily;
    return WidgetKit::staticConfiguration(std::string(TavvoWidgetConstants::widgetKind),
        TavvoWidgetTimelineProvider(store, services.clock),
        [](const TavvoWidgetEntry& entry, WidgetFamily family) { return TavvoWidgetView(family, entry).body(); })
        .configurationDisplayName([] { return L10n::tr("app.title"); })
        .description([] { return L10n::tr("widget.description"); })
        .supportedFamilies({ WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge })
        .reloadsWhenChanged(reloadSources);
}
