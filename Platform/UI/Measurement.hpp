// Measurement: a view's answer when its parent proposes a size (step one
// of layout, see ViewNode).
#pragma once

#include "Platform/UI/Geometry.hpp"

namespace UI {

struct Measurement {
    Size size;
    // Distance from the top to the first text baseline; views without text
    // count their bottom edge.
    double firstBaseline = 0;
};

}
