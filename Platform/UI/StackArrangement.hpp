// StackArrangement: what a stack worked out about its children for one
// proposal: how it measured them, which is its own measurement, and where
// they go, which placing them uses.
#pragma once

#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/Measurement.hpp"
#include "Platform/UI/ProposedSize.hpp"

#include <vector>

namespace UI {

struct StackArrangement {
    // Per child, in the stack's order: the proposal it was last asked
    // with and its answer, the size it is placed at.
    std::vector<ProposedSize> proposals;
    std::vector<Measurement> measurements;
    // Of each child, from the stack's top-leading corner.
    std::vector<Point> offsets;
    Size size;
    double firstBaseline = 0;
};

}
