// Canvas: the one place that draws with Cairo. The renderer walks a
// laid-out tree and tells the canvas what to draw in points; the canvas
// knows the surface (an image, an SVG or a PDF document), its scale, and
// the appearance colors resolve in.
#pragma once

#include "Platform/UI/Color.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/Image.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/Paint.hpp"
#include "Platform/UI/ShapePath.hpp"
#include "Platform/UI/StrokeStyle.hpp"

#include <functional>
#include <string>

extern "C" {
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
}

namespace UI {

// An image or a document is at most this many pixels (or units) on a
// side; a larger drawing is cut off at the right and at the bottom. It
// keeps an absurd size from asking for gigabytes.
inline constexpr int maximumCanvasLength = 8192;

class Canvas {
public:
    using Drawing = std::function<void(Canvas&)>;

    // A canvas of `size` points, `scale` pixels (or document units) per
    // point, is drawn by `drawing` and encoded. The scale is clamped to
    // [0.01, 64], NaN counting as 1; each side is rounded up to whole
    // pixels, at least 1. Throws std::runtime_error when Cairo fails.
    static std::string png(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string svg(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string pdf(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static Image image(Size size, double scale, Appearance appearance, const Drawing& drawing);

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Every change of state (rotation, layer) between a save and its
    // restore is undone by the restore.
    void save();
    void restore();
    void rotate(double degrees, Point center);
    // What is drawn until endLayer() is composed apart, then painted at
    // `opacity`, so overlapping parts do not show through each other.
    void beginLayer();
    void endLayer(double opacity);

    void fill(const ShapePath& path, const Rect& frame, const Paint& paint);
    void stroke(const ShapePath& path, const Rect& frame, const Paint& paint, const StrokeStyle& style);
    // Sets the text as it was measured and draws it from the frame's
    // top-leading corner.
    void drawText(const LaidOutText& text, const Rect& frame);

private:
    Canvas(cairo_t* context, Appearance appearance)
        : m_context(context)
        , m_appearance(appearance)
    {
    }

    enum class DocumentFormat { svg, pdf };

    static std::string document(DocumentFormat format, Size size, double scale, Appearance appearance, const Drawing& drawing);
    static void drawOn(cairo_surface_t* surface, double scale, Appearance appearance, const Drawing& drawing);
    // Adds the path's outline fitted to `frame`; false when there is none.
    bool addPath(const ShapePath& path, const Rect& frame);
    void setSource(const Paint& paint, const Rect& frame);

    cairo_t* m_context;
    Appearance m_appearance;
};

}
