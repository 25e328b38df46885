#include "TestSupport/ReferenceImage.hpp"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

Channels channels(std::uint32_t pixel)
{
    return { static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
        static_cast<int>(pixel & 0xFF) };
}

UI::Image decodedPNG(const std::filesystem::path& path)
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> const surface(
        cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
    UI::Image image;
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return image;
    cairo_surface_flush(surface.get());
    image.width = cairo_image_surface_get_width(surface.get());
    image.height = cairo_image_surface_get_height(surface.get());
    auto const stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get()));
    unsigned char const* data = cairo_image_surface_get_data(surface.get());
    for (int y = 0; y < image.height; ++y) {
        auto const* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        image.pixels.insert(image.pixels.end(), row, row + image.width);
    }
    return image;
}

void expectMatchesReference(const UI::LaidOutNode& tree, const UI::RenderOptions& options, const std::filesystem::path& directory,
    const std::string& name)
{
    constexpr int tolerance = 8;
    auto const path = directory / (name + ".png");
    if (std::getenv("TAVVO_UPDATE_REFERENCE_IMAGES"))
        std::ofstream(path, std::ios::binary) << UI::renderPNG(tree, options);
    auto const reference = decodedPNG(path);
    auto const image = UI::renderImage(tree, options);
    ASSERT_EQ(image.width, reference.width) << path;
    ASSERT_EQ(image.height, reference.height) << path;
    int differing = 0;
    for (std::size_t index = 0; index < image.pixels.size(); ++index) {
        auto const a = channels(image.pixels[index]);
        auto const b = channels(reference.pixels[index]);
        if (std::abs(a.alpha - b.alpha) > tolerance || std::abs(a.red - b.red) > tolerance
            || std::abs(a.green - b.green) > tolerance || std::abs(a.blue - b.blue) > tolerance)
            ++differing;
    }
    EXPECT_EQ(differing, 0) << name << ": pixels beyond the tolerance";
}
