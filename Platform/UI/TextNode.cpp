// Texts, and their factory.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ValidUTF8.hpp"
#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class TextNode final : public ViewNode {
public:
    explicit TextNode(std::string string)
        : m_string(validUTF8(string))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        auto const measurement = measureText(proposal, environment, pass);
        return { measurement.size, measurement.firstBaseline };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        auto const measurement = measureText(proposal, environment, pass);
        TextSetting setting = textSetting(proposal, environment);
        setting.pointSize = measurement.pointSize;
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::text;
        node.frame = frame;
        node.content = LaidOutText { m_string, setting, environment.foregroundColor, measurement.truncated, measurement.layout };
        return node;
    }

private:
    static TextSetting textSetting(const ProposedSize& proposal, const Environment& environment)
    {
        return {
            environment.textStyle,
            environment.fontWeight.value_or(defaultWeight(environment.textStyle)),
            environment.fontDesign,
            pointSize(environment.textStyle),
            environment.monospacedDigit,
            environment.kerning,
            environment.lineLimit,
            proposal.width,
        };
    }

    TextMeasurement measureText(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const
    {
        return pass.textMeasurer().measure(m_string, textSetting(proposal, environment), environment.minimumScaleFactor);
    }

    std::string m_string;
};

}

View text(std::string string)
{
    return View(std::make_shared<TextNode>(std::move(string)));
}

}
