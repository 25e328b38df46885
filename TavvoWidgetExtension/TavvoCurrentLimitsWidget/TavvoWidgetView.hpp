// TavvoWidgetView: one entry as the widget's picture: the layout of its
// family, the header with the stale badge, the empty state, the updated
// footer of the large sizes, the tap address and the container background.
#pragma once

#include "Platform/WidgetKit/WidgetContent.hpp"
#include "Platform/WidgetKit/WidgetFamily.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

class TavvoWidgetView {
public:
    TavvoWidgetView(WidgetKit::WidgetFamily family, TavvoWidgetEntry entry);

    WidgetKit::WidgetFamily family() const { return m_family; }
    const TavvoWidgetEntry& entry() const { return m_entry; }

    WidgetKit::WidgetContent body() const;

private:
    // The small size's header is smaller, to leave room for the lines.
    enum class HeaderStyle { regular, compact };

    UI::View familyLayout(const TavvoWidgetSnapshot& snapshot) const;
    UI::View header(HeaderStyle style) const;
    UI::View emptyState() const;

    WidgetKit::WidgetFamily m_family;
    TavvoWidgetEntry m_entry;
    TavvoWidgetPresentation m_presentation;
};
