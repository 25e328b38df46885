// CairoCanvas: the one place that draws with Cairo, on an image surface or
// an SVG or PDF document.
#pragma once

#include "Platform/UI/Canvas.hpp"

extern "C" {
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
}

namespace UI {

class CairoCanvas final : public Canvas {
public:
    // As Canvas::png, svg, pdf and image.
    static std::string drawPNG(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string drawSVG(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string drawPDF(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static Image drawImage(Size size, double scale, Appearance appearance, const Drawing& drawing);

    void save() override;
    void restore() override;
    void rotate(double degrees, Point center) override;
    void beginLayer() override;
    void endLayer(double opacity) override;
    void fill(const ShapePath& path, const Rect& frame, const Paint& paint) override;
    void stroke(const ShapePath& path, const Rect& frame, const Paint& paint, const StrokeStyle& style) override;
    void drawText(const LaidOutText& text, const Rect& frame) override;

private:
    CairoCanvas(cairo_t* context, Appearance appearance)
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
