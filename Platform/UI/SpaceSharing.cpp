#include "Platform/UI/SpaceSharing.hpp"

#include "Platform/UI/Geometry.hpp"

#include <algorithm>
#include <numeric>

namespace UI {

std::vector<double> shareSpace(double available, const std::vector<ChildFlexibility>& children,
    const std::function<double(std::size_t index, double proposal)>& lengthAt)
{
    std::size_t const count = children.size();
    std::vector<double> minimums(count);
    std::vector<double> flexibilities(count);
    std::vector<bool> fills(count);
    for (std::size_t index = 0; index < count; ++index) {
        double const minimum = sanitizedLength(children[index].minimum);
        double const maximum = std::max(minimum, sanitizedLength(children[index].maximum));
        minimums[index] = minimum;
        flexibilities[index] = maximum - minimum;
        fills[index] = maximum >= maximumLength;
    }

    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (fills[a] != fills[b])
            return !fills[a];
        return flexibilities[a] < flexibilities[b];
    });

    std::size_t fillingLeft = static_cast<std::size_t>(std::count(fills.begin(), fills.end(), true));
    std::size_t boundedLeft = count - fillingLeft;
    double const allMinimums = std::accumulate(minimums.begin(), minimums.end(), 0.0);
    double left = std::max(0.0, sanitizedLength(available) - allMinimums);

    std::vector<double> proposals(count);
    for (std::size_t const index : order) {
        std::size_t& groupLeft = fills[index] ? fillingLeft : boundedLeft;
        double const proposal = sanitizedLength(minimums[index] + left / static_cast<double>(groupLeft));
        --groupLeft;
        proposals[index] = proposal;
        double const taken = sanitizedLength(lengthAt(index, proposal));
        left = std::max(0.0, left - std::max(0.0, taken - minimums[index]));
    }
    return proposals;
}

}
