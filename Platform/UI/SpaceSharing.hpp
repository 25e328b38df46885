// SpaceSharing: how a stack shares the length it is offered along its axis
// among its children. All of the arithmetic lives here, guarded so that no
// input makes a negative, infinite or NaN proposal.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace UI {

// A child's length along the stack when offered nothing (0) and when
// offered everything (maximumLength).
struct ChildFlexibility {
    double minimum = 0;
    double maximum = 0;
};

// Every child is first set aside its minimum. What is left over is then
// offered out child by child: first the children with a bounded maximum
// (texts, fixed frames), from the least to the most flexible (maximum −
// minimum), then the children that fill whatever they are offered
// (maximum of maximumLength: spacers, unbounded frames, shapes). Each is
// offered its minimum plus an equal part of what is left among the
// children of its group not yet served, and `lengthAt(index, proposal)`
// says how long it takes; what it takes beyond its minimum is no longer
// left. So texts keep their natural length while there is room, and
// spacers get the rest.
//
// Returns the proposal made to each child, by index. `available` and the
// lengths are sanitized (NaN and negatives count as 0); when the minimums
// alone exceed `available`, every child is offered its minimum.
std::vector<double> shareSpace(double available, const std::vector<ChildFlexibility>& children,
    const std::function<double(std::size_t index, double proposal)>& lengthAt);

}
