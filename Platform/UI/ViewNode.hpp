// ViewNode: the protocol every kind of view follows during layout. The
// node classes themselves are private to their source files; View.hpp
// offers the factories that make them.
//
// Layout runs in two steps:
//   1. measure: a parent proposes a size and the child answers with the
//      size it takes (and where its first text baseline lies). A parent may
//      ask a child several times with different proposals.
//   2. place: the parent gives the child its frame, together with the
//      proposal that frame was measured for, and the child builds its
//      laid-out node, placing its own children the same way.
// Both steps are pure functions of the node, the proposal and the
// environment, so asking again gives the same answer.
#pragma once

#include "Platform/UI/Environment.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/TextMeasurer.hpp"

#include <optional>

namespace UI {

// A length per axis, already sanitized; nothing asks for the ideal length.
struct ProposedSize {
    std::optional<double> width;
    std::optional<double> height;

    std::optional<double> along(Axis axis) const { return axis == Axis::horizontal ? width : height; }
    std::optional<double> across(Axis axis) const { return axis == Axis::horizontal ? height : width; }

    // The proposal with `along` on `axis` and `across` on the other one.
    static ProposedSize oriented(Axis axis, std::optional<double> along, std::optional<double> across)
    {
        return axis == Axis::horizontal ? ProposedSize { along, across } : ProposedSize { across, along };
    }
};

struct Measurement {
    Size size;
    // Distance from the top to the first text baseline; views without text
    // count their bottom edge.
    double firstBaseline = 0;
};

class ViewNode {
public:
    virtual ~ViewNode() = default;

    virtual Measurement measure(const ProposedSize& proposal, const Environment& environment, TextMeasurer& texts) const = 0;

    // `frame` has the size measure() answered for `proposal`.
    virtual LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        TextMeasurer& texts) const
        = 0;
};

inline double length(const Size& size, Axis axis)
{
    return axis == Axis::horizontal ? size.width : size.height;
}

inline Axis otherAxis(Axis axis)
{
    return axis == Axis::horizontal ? Axis::vertical : Axis::horizontal;
}

}
