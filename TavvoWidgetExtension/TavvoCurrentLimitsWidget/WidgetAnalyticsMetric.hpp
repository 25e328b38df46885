// WidgetAnalyticsMetric: one figure of the analytics block: a caption over
// its value.
#pragma once

#include "Platform/UI/View.hpp"

#include <string>

class WidgetAnalyticsMetric {
public:
    // Both texts already localized and formatted.
    WidgetAnalyticsMetric(std::string title, std::string value);

    const std::string& title() const { return m_title; }
    const std::string& value() const { return m_value; }

    UI::View body() const;

private:
    std::string m_title;
    std::string m_value;
};
