// NovikWordmark: the mark followed by the application's title, read by
// assistive technology as the title alone.
#pragma once

#include "Platform/UI/View.hpp"

class NovikWordmark {
public:
    NovikWordmark(double markSize, UI::Font font);

    double markSize() const { return m_markSize; }
    const UI::Font& font() const { return m_font; }

    // The mark (brand green outside, primary inside) and the title in
    // `font` with 0.2 points of kerning, 6 points apart; one accessibility
    // element labelled with the title.
    UI::View body() const;

private:
    double m_markSize;
    UI::Font m_font;
};
