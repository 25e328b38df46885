// Renderer: draws a laid-out tree as a PNG, SVG or PDF, or into memory.
// All four are the same drawing on different surfaces.
#pragma once

#include "Platform/UI/Color.hpp"
#include "Platform/UI/Image.hpp"
#include "Platform/UI/LaidOutNode.hpp"

#include <string>

namespace UI {

struct RenderOptions {
    // Pixels (or document units) per point; clamped to [0.01, 64].
    double scale = 2;
    Appearance appearance = Appearance::light;
};

// The canvas covers the root's frame (layout puts it at (0, 0)), rounded up to whole pixels at the
// scale and at most maximumCanvasLength (Canvas.hpp) on a side. Nothing
// is drawn where no view draws: the background is transparent. Each
// returns the encoded file's bytes; throws std::runtime_error when Cairo
// fails.
//
//   auto const png = UI::renderPNG(UI::layout(view, { 338, 158 }), { .scale = 2, .appearance = UI::Appearance::dark });
std::string renderPNG(const LaidOutNode& root, const RenderOptions& options = {});
std::string renderSVG(const LaidOutNode& root, const RenderOptions& options = {});
std::string renderPDF(const LaidOutNode& root, const RenderOptions& options = {});
Image renderImage(const LaidOutNode& root, const RenderOptions& options = {});

}
