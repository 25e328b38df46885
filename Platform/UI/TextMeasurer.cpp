#include "Platform/UI/TextMeasurer.hpp"

#include "Platform/UI/TextLayout.hpp"

namespace UI {

namespace {

// Ten halvings of the range between the smallest allowed size and the
// full size pin the largest fitting size to within 0.1% of the range, far
// below what can be seen.
constexpr int shrinkSteps = 10;

TextMeasurement measured(const std::string& string, TextSetting setting, double pointSize)
{
    setting.pointSize = pointSize;
    TextLayout const layout(string, setting);
    return { layout.size(), layout.firstBaseline(), pointSize, layout.isTruncated() };
}

}

TextMeasurement TextMeasurer::measure(const std::string& string, const TextSetting& setting, double minimumScaleFactor)
{
    double const factor = bounded(minimumScaleFactor, 0.01, 1, 1);
    auto const key = std::make_tuple(string, setting, factor);
    if (auto const found = m_measurements.find(key); found != m_measurements.end())
        return found->second;

    TextMeasurement result = measured(string, setting, setting.pointSize);
    if (result.truncated && factor < 1) {
        result = measured(string, setting, setting.pointSize * factor);
        // Fitting is monotonic in the size: search between the smallest
        // size, which fits, and the full size, which does not.
        double tooLarge = setting.pointSize;
        for (int step = 0; step < shrinkSteps && !result.truncated; ++step) {
            double const middle = (result.pointSize + tooLarge) / 2;
            TextMeasurement const candidate = measured(string, setting, middle);
            if (candidate.truncated)
                tooLarge = middle;
            else
                result = candidate;
        }
    }
    m_measurements.emplace(key, result);
    return result;
}

}
