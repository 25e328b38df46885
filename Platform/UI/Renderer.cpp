#include "Platform/UI/Renderer.hpp"

#include "Platform/UI/Canvas.hpp"

namespace UI {

namespace {

void drawContent(Canvas& canvas, const LaidOutNode& node)
{
    if (auto const* text = std::get_if<LaidOutText>(&node.content)) {
        canvas.drawText(*text, node.frame);
    } else if (auto const* shape = std::get_if<LaidOutShape>(&node.content)) {
        if (shape->stroke)
            canvas.stroke(shape->path, node.frame, shape->paint, *shape->stroke);
        else
            canvas.fill(shape->path, node.frame, shape->paint);
    }
}

void draw(Canvas& canvas, const LaidOutNode& node)
{
    // Also skips a NaN opacity.
    if (!(node.opacity > 0))
        return;
    canvas.save();
    if (node.rotation != 0)
        canvas.rotate(node.rotation, node.frame.center());
    bool const layered = node.opacity < 1;
    if (layered)
        canvas.beginLayer();
    drawContent(canvas, node);
    if (node.kind == LaidOutNode::Kind::background) {
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
            draw(canvas, *child);
    } else {
        for (auto const& child : node.children)
            draw(canvas, child);
    }
    if (layered)
        canvas.endLayer(node.opacity);
    canvas.restore();
}

Canvas::Drawing drawing(const LaidOutNode& root)
{
    return [&root](Canvas& canvas) { draw(canvas, root); };
}

}

std::string renderPNG(const LaidOutNode& root, const RenderOptions& options)
{
    return Canvas::png(root.frame.size, options.scale, options.appearance, drawing(root));
}

std::string renderSVG(const LaidOutNode& root, const RenderOptions& options)
{
    return Canvas::svg(root.frame.size, options.scale, options.appearance, drawing(root));
}

std::string renderPDF(const LaidOutNode& root, const RenderOptions& options)
{
    return Canvas::pdf(root.frame.size, options.scale, options.appearance, drawing(root));
}

Image renderImage(const LaidOutNode& root, const RenderOptions& options)
{
    return Canvas::image(root.frame.size, options.scale, options.appearance, drawing(root));
}

}
