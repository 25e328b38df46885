// TavvoWidgetView: one entry as the widget's picture: the layout of its
// family, the header with the stale badge, the empty state, the updated
// footer of the large sizes, the tap address and the container background.
#pragma once

#include "Platform/WidgetKit/WidgetContent.hpp"
#include "Platform/WidgetKit/WidgetFamily.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include <vector>

class TavvoWidgetView {
public:
    TavvoWidgetView(WidgetKit::WidgetFamily family, TavvoWidgetEntry entry);

    WidgetKit::WidgetFamily family() const { return m_family; }
    const TavvoWidgetEntry& entry() const { return m_entry; }

    // codex, then claude, each the first record of its id in the document;
    // empty without a document.
    std::vector<TavvoWidgetProviderSnapshot> displayedProviders() const;
    // Whether the analytics count as out of date at the entry's date: their
    // forecast says so, or their observation is no longer fresh. False
    // without analytics.
    bool analyticsStale() const;
    // The latest observation among all the document's providers, else the
    // document's generation time. Nothing without a document.
    std::optional<Foundation::Date> updatedAt() const;

    WidgetKit::WidgetContent body() const;

private:
    // The small size's header is smaller, to leave room for the lines.
    enum class HeaderStyle { regular, compact };

    UI::View familyLayout(const TavvoWidgetSnapshot& snapshot) const;
    UI::View header(HeaderStyle style) const;
    UI::View emptyState() const;

    WidgetKit::WidgetFamily m_family;
    TavvoWidgetEntry m_entry;
};
