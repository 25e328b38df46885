// Animation: the note a view leaves for how changes of one of its values
// are to be animated. Nothing here plays an animation; a live host may.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

namespace UI {

enum class AnimationCurve { linear, easeIn, easeOut, easeInOut };

struct Animation {
    AnimationCurve curve = AnimationCurve::linear;
    // Seconds.
    double duration = 0;
    friend bool operator==(const Animation&, const Animation&) = default;

    static constexpr Animation easeOut(double duration) { return { AnimationCurve::easeOut, duration }; }
};

// Whether the user asked the system to reduce motion; when on, animations
// are recorded as disabled.
enum class ReduceMotion { off, on };

}

template <>
struct Foundation::RawValues<UI::AnimationCurve> {
    static constexpr std::array<std::string_view, 4> texts { "linear", "easeIn", "easeOut", "easeInOut" };
};
