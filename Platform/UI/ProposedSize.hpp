// ProposedSize: the size a parent offers a child when it asks how large
// the child would be (step one of layout, see ViewNode).
#pragma once

#include "Platform/UI/Geometry.hpp"

#include <compare>
#include <optional>

namespace UI {

// A length per axis, already sanitized; nothing asks for the ideal length.
struct ProposedSize {
    std::optional<double> width;
    std::optional<double> height;
    // Ordered so that a layout pass can file answers by the proposal they
    // were given for; sanitized lengths are never NaN.
    friend auto operator<=>(const ProposedSize&, const ProposedSize&) = default;

    std::optional<double> along(Axis axis) const { return axis == Axis::horizontal ? width : height; }
    std::optional<double> across(Axis axis) const { return axis == Axis::horizontal ? height : width; }

    // The proposal with `along` on `axis` and `across` on the other one.
    static ProposedSize oriented(Axis axis, std::optional<double> along, std::optional<double> across)
    {
        return axis == Axis::horizontal ? ProposedSize { along, across } : ProposedSize { across, along };
    }
};

}
