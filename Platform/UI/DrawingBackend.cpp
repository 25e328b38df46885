#include "Platform/UI/DrawingBackend.hpp"

#include "Platform/Foundation/Module.hpp"

#include <stdexcept>

namespace UI {

namespace {

const DrawingBackend& loadedBackend()
{
    try {
        auto const entry = reinterpret_cast<decltype(&uiDrawingBackend)>(Foundation::moduleSymbol(
            reinterpret_cast<const void*>(&drawingBackend), UI_DRAWING_MODULE, "uiDrawingBackend"));
        return *entry();
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string("cannot load the drawing module: ") + error.what());
    }
}

}

const DrawingBackend& drawingBackend()
{
    // A failed load is not remembered: the next call tries again and says
    // why again.
    static DrawingBackend const& backend = loadedBackend();
    return backend;
}

std::shared_ptr<const TextLayout> TextLayout::set(std::string_view string, const TextSetting& setting)
{
    return drawingBackend().setText(string, setting);
}

std::string Canvas::png(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return drawingBackend().png(size, scale, appearance, drawing);
}

std::string Canvas::svg(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return drawingBackend().svg(size, scale, appearance, drawing);
}

std::string Canvas::pdf(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return drawingBackend().pdf(size, scale, appearance, drawing);
}

Image Canvas::image(Size size, double scale, Appearance appearance, const Drawing& drawing)
{
    return drawingBackend().image(size, scale, appearance, drawing);
}

}
