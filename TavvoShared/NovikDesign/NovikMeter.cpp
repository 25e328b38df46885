#include "TavvoShared/NovikDesign/NovikMeter.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double trackBorderWidth = 0.5;

UI::Color meterTint(std::optional<std::int64_t> remainingPercent)
{
    if (!remainingPercent)
        return UI::Color::secondary();
    return color(NovikSeverities::forRemaining(remainingPercent));
}

double meterProgress(std::optional<std::int64_t> remainingPercent)
{
    if (!remainingPercent)
        return 0;
    return static_cast<double>(std::clamp<std::int64_t>(*remainingPercent, 0, 100)) / 100;
}

}

NovikMeter::NovikMeter(double progress, UI::Color tint, double height)
    : m_progress(progress)
    , m_tint(tint)
    , m_height(height)
{
}

NovikMeter::NovikMeter(std::optional<std::int64_t> remainingPercent, double height)
    : NovikMeter(meterProgress(remainingPercent), meterTint(remainingPercent), height)
{
}

double NovikMeter::fillWidth(double width) const
{
    // NaN progress reads as none, so the fill is never a NaN length.
    if (!(m_progress > 0))
        return 0;
    if (m_progress > 1)
        return std::max(width, m_height);
    return std::max(width * m_progress, m_height);
}

UI::View NovikMeter::body() const
{
    return drawing().accessibilityHidden(true);
}

UI::View NovikMeter::body(UI::AccessibilityGauge gauge) const
{
    return drawing().accessibilityGauge(std::move(gauge));
}

UI::View NovikMeter::drawing() const
{
    auto const meter = *this;
    auto const animatedProgress = std::isnan(m_progress) ? 0.0 : std::clamp(m_progress, 0.0, 1.0);
    return UI::geometryReader([meter](UI::Size size) {
        // The border is stroked inside the track's edge: a centered
        // stroke on an outline inset by half its width.
        auto const track = UI::capsule()
                               .fill(NovikPalette::track())
                               .overlay(UI::capsule()
                                            .stroke(UI::Color::primary().opacity(0.1), { .lineWidth = trackBorderWidth })
                                            .padding(trackBorderWidth / 2));
        auto const fill = UI::capsule().fill(meter.tint()).frame({ .width = meter.fillWidth(size.width), .height = meter.height() });
        return UI::zstack(UI::Alignment::leading, { track, fill });
    })
        .frame({ .height = m_height })
        .animation(UI::Animation::easeOut(0.14), animatedProgress);
}
