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
// environment, so asking again gives the same answer; the LayoutPass both
// steps are handed keeps the answers worth keeping for the rest of the
// layout.
#pragma once

#include "Platform/UI/Environment.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/LayoutPass.hpp"
#include "Platform/UI/Measurement.hpp"
#include "Platform/UI/ProposedSize.hpp"

namespace UI {

class ViewNode {
public:
    virtual ~ViewNode() = default;

    virtual Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const = 0;

    // `frame` has the size measure() answered for `proposal`.
    virtual LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const
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
