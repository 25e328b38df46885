// TextMeasurer: measures texts for one layout pass, shrinking them to fit
// before truncating, and remembers each answer: a parent asks its children
// several times, so a text deep in a tree is asked the same question many
// times over.
#pragma once

#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace UI {

class TextLayout;

struct TextMeasurement {
    Size size;
    double firstBaseline = 0;
    // The size the text is set in: the setting's own, or smaller when it
    // had to shrink to fit.
    double pointSize = 0;
    bool truncated = false;
    // The text set as measured, for drawing it without setting it again.
    std::shared_ptr<const TextLayout> layout;
};

class TextMeasurer {
public:
    // Sets `string` with `setting`. When the text does not fit (an ellipsis
    // would be shown), it is set at the largest size from
    // minimumScaleFactor × setting.pointSize up that fits; when even the
    // smallest does not fit, it is set at the smallest and truncated.
    // The factor is clamped to [0.01, 1]. A text whose lines fit the width
    // unbroken is set once for every width it fits.
    TextMeasurement measure(const std::string& string, const TextSetting& setting, double minimumScaleFactor);

private:
    TextMeasurement measureAnew(const std::string& string, const TextSetting& setting, double factor);

    std::map<std::tuple<std::string, TextSetting, double>, TextMeasurement> m_measurements;
};

}
