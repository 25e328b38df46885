// NovikMeter: the one progress bar of the design kit, a horizontal capsule
// that fills with how much of a limit remains.
#pragma once

#include "Platform/UI/View.hpp"

#include <cstdint>
#include <optional>

class NovikMeter {
public:
    // Stored as given; progress outside [0, 1] is tolerated when drawn.
    NovikMeter(double progress, UI::Color tint, double height);

    // From the share of a limit that remains: nothing gives an empty track
    // tinted secondary; otherwise the share clamped to [0, 100] fills the
    // bar and the unclamped share picks the severity color.
    NovikMeter(std::optional<std::int64_t> remainingPercent, double height);

    double progress() const { return m_progress; }
    const UI::Color& tint() const { return m_tint; }
    double height() const { return m_height; }

    // The width of the fill in a bar `width` wide: none for no progress;
    // otherwise at least a circle as wide as the bar is tall, and never
    // past the bar (unless the bar is narrower than that circle).
    //   NovikMeter(0.01, tint, 5).fillWidth(100) == 5
    double fillWidth(double width) const;

    // The track with the fill over it, as wide as offered and `height`
    // tall. Changes of the clamped progress ease out over 0.14 s unless
    // the user reduces motion. Hidden from accessibility: the text beside
    // a meter tells its value.
    UI::View body() const;
    // The same drawing, read by assistive technology as `gauge` rather
    // than hidden, for a screen reader that looks for gauges.
    UI::View body(UI::AccessibilityGauge gauge) const;

private:
    UI::View drawing() const;

    double m_progress;
    UI::Color m_tint;
    double m_height;
};
