#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetAnalyticsMetric.hpp"

#include <utility>

WidgetAnalyticsMetric::WidgetAnalyticsMetric(std::string title, std::string value)
    : m_title(std::move(title))
    , m_value(std::move(value))
{
}

UI::View WidgetAnalyticsMetric::body() const
{
    // Neither text has a line limit: the row gives each metric the width
    // its caption needs.
    return UI::vstack(UI::HorizontalAlignment::leading, 1,
        {
            UI::text(m_title)
                .font(UI::TextStyle::caption2)
                .foregroundColor(UI::Color::secondary()),
            UI::text(m_value)
                .font(UI::TextStyle::caption)
                .fontWeight(UI::FontWeight::semibold)
                .monospacedDigit(),
        });
}
