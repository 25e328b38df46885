#include "TavvoShared/NovikDesign/NovikWordmark.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/NovikDesign/NovikMark.hpp"
#include "TavvoShared/NovikDesign/NovikPalette.hpp"

NovikWordmark::NovikWordmark(double markSize, UI::Font font)
    : m_markSize(markSize)
    , m_font(font)
{
}

UI::View NovikWordmark::body() const
{
    // One lookup serves the text and the label, so the two always agree.
    auto const title = L10n::tr("app.title");
    return UI::hstack(UI::VerticalAlignment::center, 6,
        {
            NovikMark(m_markSize, NovikPalette::brand(), UI::Color::primary()).body(),
            UI::text(title).font(m_font).kerning(0.2),
        })
        .accessibilityElement(UI::AccessibilityChildBehavior::ignore)
        .accessibilityLabel(title);
}
