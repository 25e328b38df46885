// WidgetContent: what a widget hands the host for one entry: its view, the
// address a click on the widget opens, and the background that fills the
// widget's whole container.
#pragma once

#include "Platform/UI/View.hpp"

#include <optional>
#include <string>

namespace WidgetKit {

class WidgetContent {
public:
    // Neither a tap address nor a background.
    explicit WidgetContent(UI::View view);

    // The same content, opening `url` when clicked anywhere.
    WidgetContent widgetURL(std::string url) const;
    // The same content on `background`, which is offered the container's
    // whole size; the view is centered on it.
    WidgetContent containerBackground(UI::View background) const;

    const UI::View& view() const { return m_view; }
    const std::optional<std::string>& url() const { return m_url; }
    const UI::View& background() const { return m_background; }

    // The picture the host draws in a container of `size`: the background
    // with the view over it. The host adds no margins of its own; widgets
    // pad themselves.
    UI::View composed(UI::Size size) const;

private:
    UI::View m_view;
    std::optional<std::string> m_url;
    UI::View m_background;
};

}
