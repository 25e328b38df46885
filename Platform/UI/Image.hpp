// Image: a drawing rendered into memory, pixel by pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace UI {

// Rows from the top, pixels from the left; each pixel is 0xAARRGGBB with
// the color premultiplied by alpha (Cairo's ARGB32).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // Outside the image: 0, transparent.
    std::uint32_t pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

}
