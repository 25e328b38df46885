// The drawing module's entry point: Pango sets the texts, Cairo draws.
#include "Platform/UI/DrawingBackend.hpp"
#include "Platform/UI/PangoCairo/CairoCanvas.hpp"
#include "Platform/UI/PangoCairo/PangoTextLayout.hpp"

namespace UI {

namespace {

class PangoCairoBackend final : public DrawingBackend {
public:
    std::shared_ptr<const TextLayout> setText(std::string_view string, const TextSetting& setting) const override
    {
        return std::make_shared<const PangoTextLayout>(string, setting);
    }

    std::string png(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const override
    {
        return CairoCanvas::drawPNG(size, scale, appearance, drawing);
    }

    std::string svg(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const override
    {
        return CairoCanvas::drawSVG(size, scale, appearance, drawing);
    }

    std::string pdf(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const override
    {
        return CairoCanvas::drawPDF(size, scale, appearance, drawing);
    }

    Image image(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const override
    {
        return CairoCanvas::drawImage(size, scale, appearance, drawing);
    }
};

}

}

extern "C" __attribute__((visibility("default"))) const UI::DrawingBackend* uiDrawingBackend()
{
    static UI::PangoCairoBackend const backend;
    return &backend;
}
