#include "Platform/UI/Geometry.hpp"

#include <algorithm>
#include <cmath>

namespace UI {

double bounded(double value, double lowest, double highest, double whenNaN)
{
    if (std::isnan(value))
        return whenNaN;
    return std::clamp(value, lowest, highest);
}

double sanitizedLength(double length)
{
    return bounded(length, 0, maximumLength, 0);
}

double sanitizedCoordinate(double coordinate)
{
    return bounded(coordinate, -maximumLength, maximumLength, 0);
}

double sanitizedFraction(double fraction)
{
    return bounded(fraction, 0, 1, 0);
}

}
