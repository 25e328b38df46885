// NovikMark: the brand mark, two open concentric arcs starting at the top
// and running clockwise: the outer one for the long limit window, the
// inner one for the short one.
#pragma once

#include "Platform/UI/View.hpp"

class NovikMark {
public:
    NovikMark(double size, UI::Color longWindowTint, UI::Color shortWindowTint);

    double size() const { return m_size; }
    const UI::Color& longWindowTint() const { return m_longWindowTint; }
    const UI::Color& shortWindowTint() const { return m_shortWindowTint; }

    // The two arcs in a `size` × `size` square. The outer stroke reaches
    // the square's edge; an empty band separates it from the inner one.
    // Hidden from accessibility.
    UI::View body() const;

private:
    double m_size;
    UI::Color m_longWindowTint;
    UI::Color m_shortWindowTint;
};
