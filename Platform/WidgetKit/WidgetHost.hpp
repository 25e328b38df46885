// WidgetHost: the stand-in for the desktop's widget host. It drives one
// registered widget: asks its provider for a placeholder, a snapshot (for
// the desktop or for a preview) or a timeline, and lays the content of an
// entry out at a family's size, as the host's command line and live window
// show it.
#pragma once

#include "Platform/Foundation/RawValue.hpp"
#include "Platform/UI/Animation.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/WidgetKit/WidgetConfiguration.hpp"

#include <stdexcept>

namespace WidgetKit {

// The requests a host makes of a timeline provider.
enum class Request { placeholder, snapshot, preview, timeline };

}

template <>
struct Foundation::RawValues<WidgetKit::Request> {
    static constexpr std::array<std::string_view, 4> texts { "placeholder", "snapshot", "preview", "timeline" };
};

namespace WidgetKit {

// A family the widget does not offer was asked for.
class UnsupportedFamilyError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

class WidgetHost {
public:
    explicit WidgetHost(WidgetConfiguration widget);

    const WidgetConfiguration& widget() const { return m_widget; }

    // Each throws UnsupportedFamilyError for a family the widget does not
    // offer, before the provider is asked anything.
    HostedEntry placeholder(WidgetFamily family) const;
    HostedTimeline timeline(WidgetFamily family) const;

    // The entry the host would show for `request`: a snapshot for the
    // desktop or for a preview, or for a timeline its first entry (a
    // timeline with none is the provider's error, reported as
    // std::logic_error).
    HostedEntry entry(Request request, WidgetFamily family) const;

    // The entry's content laid out in a container of the family's size.
    UI::LaidOutNode layout(const HostedEntry& entry, WidgetFamily family, UI::ReduceMotion reduceMotion = UI::ReduceMotion::off) const;

private:
    TimelineProviderContext context(WidgetFamily family, Request request) const;

    WidgetConfiguration m_widget;
};

}
