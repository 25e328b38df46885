#include "Platform/UI/PangoCairo/CairoCanvas.hpp"

#include "Platform/UI/PangoCairo/PangoTextLayout.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <optional>
#include <stdexcept>

namespace UI {

namespace {

struct SurfaceDestroyer {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;

double sanitizedScale(double scale)
{
    return bounded(scale, 0.01, 64, 1);
}

int canvasLength(double points, double scale)
{
    double const length = std::ceil(sanitizedLength(points) * scale);
    return static_cast<int>(std::clamp(length, 1.0, static_cast<double>(maximumCanvasLength)));
}

void check(cairo_status_t status)
{
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot render: ") + cairo_status_to_string(status));
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

Surface imageSurface(Size size, double scale)
{
    Surface surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, canvasLength(size.width, scale), canvasLength(size.height, scale)));
    check(cairo_surface_status(surface.get()));
    return surface;
}

cairo_line_cap_t cairoLineCap(LineCap cap)
{
    switch (cap) {
    case LineCap::round:
        return CAIRO_LINE_CAP_ROUND;
    case LineCap::square:
        return CAIRO_LINE_CAP_SQUARE;
    case LineCap::butt:
        break;
    }
    return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t cairoLineJoin(LineJoin join)
{
    switch (join) {
    case LineJoin::round:
        return CAIRO_LINE_JOIN_ROUND;
    case LineJoin::bevel:
        return CAIRO_LINE_JOIN_BEVEL;
    case LineJoin::miter:
        break;
    }
    return CAIRO_LINE_JOIN_MITER;
}

}

void CairoCanvas::drawOn(cairo_surface_t* surface, double scale, Appearance appearance, const Drawing& drawing)
{
    cairo_t* context = cairo_create(surface);
    cairo_scale(context, scale, scale);
    CairoCanvas canvas(context, appearance);
    try {
        drawing(canvas);
    } catch (...) {
        cairo_destroy(context);
        throw;
    }
    cairo_status_t const status = cairo_status(context);
    cairo_destroy(context);
    check(status);
}

std::string CairoCanvas::drawPNG(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    double const clampedScale = sanitizedScale(scale);
    Surface const surface = imageSurface(size, clampedScale);
    drawOn(surface.get(), clampedScale, appearance, drawing);
    std::string bytes;
    check(cairo_surface_write_to_png_stream(surface.get(), appendBytes, &bytes));
    return bytes;
}

std::string CairoCanvas::document(DocumentFormat format, Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    double const clampedScale = sanitizedScale(scale);
    double const width = canvasLength(size.width, clampedScale);
    double const height = canvasLength(size.height, clampedScale);
    std::string bytes;
    Surface const surface(format == DocumentFormat::pdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, width, height)
            : cairo_svg_surface_create_for_stream(appendBytes, &bytes, width, height));
    check(cairo_surface_status(surface.get()));
    drawOn(surface.get(), clampedScale, appearance, drawing);
    // The document's last bytes are written when the surface is finished.
    cairo_surface_finish(surface.get());
    check(cairo_surface_status(surface.get()));
    return bytes;
}

std::string CairoCanvas::drawSVG(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return document(DocumentFormat::svg, size, scale, appearance, drawing);
}

std::string CairoCanvas::drawPDF(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return document(DocumentFormat::pdf, size, scale, appearance, drawing);
}

Image CairoCanvas::drawImage(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    double const clampedScale = sanitizedScale(scale);
    // Drawn straight into the image's own pixels: one buffer, no copy. A
    // row of ARGB32 pixels is exactly 4 × width bytes, a stride Cairo takes.
    Image image;
    image.width = canvasLength(size.width, clampedScale);
    image.height = canvasLength(size.height, clampedScale);
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    Surface const surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(image.pixels.data()),
        CAIRO_FORMAT_ARGB32, image.width, image.height, image.width * static_cast<int>(sizeof(std::uint32_t))));
    check(cairo_surface_status(surface.get()));
    drawOn(surface.get(), clampedScale, appearance, drawing);
    cairo_surface_flush(surface.get());
    return image;
}

void CairoCanvas::save()
{
    cairo_save(m_context);
}

void CairoCanvas::restore()
{
    cairo_restore(m_context);
}

void CairoCanvas::rotate(double degrees, Point center)
{
    cairo_translate(m_context, center.x, center.y);
    cairo_rotate(m_context, degrees * std::numbers::pi / 180);
    cairo_translate(m_context, -center.x, -center.y);
}

void CairoCanvas::beginLayer()
{
    cairo_push_group(m_context);
}

void CairoCanvas::endLayer(double opacity)
{
    cairo_pop_group_to_source(m_context);
    cairo_paint_with_alpha(m_context, sanitizedFraction(opacity));
}

bool CairoCanvas::addPath(const ShapePath& path, const Rect& frame)
{
    double const width = frame.size.width;
    double const height = frame.size.height;
    if (!(width > 0 && height > 0))
        return false;
    double const radius = std::min(width, height) / 2;
    Point const center = frame.center();
    cairo_new_path(m_context);
    switch (path.kind) {
    case ShapeKind::circle: {
        double const from = sanitizedFraction(path.trimFrom);
        double const to = sanitizedFraction(path.trimTo);
        if (!(to > from))
            return false;
        // Cairo's angles run clockwise on screen from 3 o'clock, just as
        // the trim is measured.
        double const turn = 2 * std::numbers::pi;
        cairo_arc(m_context, center.x, center.y, radius, from * turn, to * turn);
        if (from == 0 && to == 1)
            cairo_close_path(m_context);
        return true;
    }
    case ShapeKind::capsule: {
        double const halfPi = std::numbers::pi / 2;
        cairo_arc(m_context, frame.maxX() - radius, frame.minY() + radius, radius, -halfPi, 0);
        cairo_arc(m_context, frame.maxX() - radius, frame.maxY() - radius, radius, 0, halfPi);
        cairo_arc(m_context, frame.minX() + radius, frame.maxY() - radius, radius, halfPi, 2 * halfPi);
        cairo_arc(m_context, frame.minX() + radius, frame.minY() + radius, radius, 2 * halfPi, 3 * halfPi);
        cairo_close_path(m_context);
        return true;
    }
    case ShapeKind::roundedRectangle: {
        double const corner = std::min(path.cornerRadius, radius);
        double const halfPi = std::numbers::pi / 2;
        cairo_arc(m_context, frame.maxX() - corner, frame.minY() + corner, corner, -halfPi, 0);
        cairo_arc(m_context, frame.maxX() - corner, frame.maxY() - corner, corner, 0, halfPi);
        cairo_arc(m_context, frame.minX() + corner, frame.maxY() - corner, corner, halfPi, 2 * halfPi);
        cairo_arc(m_context, frame.minX() + corner, frame.minY() + corner, corner, 2 * halfPi, 3 * halfPi);
        cairo_close_path(m_context);
        return true;
    }
    case ShapeKind::rectangle:
        break;
    }
    cairo_rectangle(m_context, frame.minX(), frame.minY(), width, height);
    return true;
}

void CairoCanvas::setSource(const Paint& paint, const Rect& frame)
{
    if (auto const* color = std::get_if<Color>(&paint)) {
        auto const value = color->resolved(m_appearance);
        cairo_set_source_rgba(m_context, value.red, value.green, value.blue, value.alpha);
        return;
    }
    auto const& gradient = std::get<LinearGradient>(paint);
    auto at = [&frame](UnitPoint point) {
        return Point { sanitizedCoordinate(frame.minX() + point.x * frame.size.width),
            sanitizedCoordinate(frame.minY() + point.y * frame.size.height) };
    };
    Point const start = at(gradient.startPoint);
    Point const end = at(gradient.endPoint);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    for (auto const& stop : gradient.stops) {
        auto const value = stop.color.resolved(m_appearance);
        cairo_pattern_add_color_stop_rgba(
            pattern, sanitizedFraction(stop.location), value.red, value.green, value.blue, value.alpha);
    }
    cairo_set_source(m_context, pattern);
    cairo_pattern_destroy(pattern);
}

void CairoCanvas::fill(const ShapePath& path, const Rect& frame, const Paint& paint)
{
    if (!addPath(path, frame))
        return;
    setSource(paint, frame);
    cairo_fill(m_context);
}

void CairoCanvas::stroke(const ShapePath& path, const Rect& frame, const Paint& paint, const StrokeStyle& strokeStyle)
{
    StrokeStyle const style = strokeStyle.sanitized();
    if (style.lineWidth == 0 || !addPath(path, frame))
        return;
    setSource(paint, frame);
    cairo_set_line_width(m_context, style.lineWidth);
    cairo_set_line_cap(m_context, cairoLineCap(style.lineCap));
    cairo_set_line_join(m_context, cairoLineJoin(style.lineJoin));
    cairo_set_miter_limit(m_context, style.miterLimit);
    cairo_stroke(m_context);
}

void CairoCanvas::drawText(const LaidOutText& text, const Rect& frame)
{
    // Only this module makes layouts. The layout's unhinted metrics hold at
    // every scale, so the text is drawn as it was measured, whatever the
    // surface.
    auto const* kept = static_cast<const PangoTextLayout*>(text.layout.get());
    std::optional<PangoTextLayout> const ownLayout
        = kept && kept->isUsableOnThisThread() ? std::nullopt : std::make_optional<PangoTextLayout>(text.string, text.setting);
    PangoLayout* pangoLayout = ownLayout ? ownLayout->pangoLayout() : kept->pangoLayout();
    auto const color = text.color.resolved(m_appearance);
    cairo_set_source_rgba(m_context, color.red, color.green, color.blue, color.alpha);
    cairo_move_to(m_context, frame.minX(), frame.minY());
    pango_cairo_show_layout(m_context, pangoLayout);
}

}
