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
    auto layout = TextLayout::set(string, setting);
    return { layout->size(), layout->firstBaseline(), pointSize, layout->isTruncated(), std::move(layout) };
}

// Whether the text set with no width would be set the same at `setting`'s
// width: nothing is broken or cut at a width its lines already fit, except
// that a limit of one line joins the paragraphs of a longer text.
bool fitsUnbroken(const TextMeasurement& unbroken, const TextSetting& setting)
{
    return setting.width && unbroken.size.width <= *setting.width && (setting.lineLimit != 1 || unbroken.layout->lineCount() == 1);
}

}

TextMeasurement TextMeasurer::measure(const std::string& string, const TextSetting& setting, double minimumScaleFactor)
{
    double const factor = bounded(minimumScaleFactor, 0.01, 1, 1);
    auto const key = std::make_tuple(string, setting, factor);
    if (auto const found = m_measurements.find(key); found != m_measurements.end())
        return found->second;

    TextMeasurement result;
    if (setting.width) {
        TextSetting unbrokenSetting = setting;
        unbrokenSetting.width.reset();
        auto unbroken = measure(string, unbrokenSetting, factor);
        result = fitsUnbroken(unbroken, setting) ? std::move(unbroken) : measureAnew(string, setting, factor);
    } else {
        result = measureAnew(string, setting, factor);
    }
    m_measurements.emplace(key, result);
    return result;
}

TextMeasurement TextMeasurer::measureAnew(const std::string& string, const TextSetting& setting, double factor)
{
    TextMeasurement result = measured(string, setting, setting.pointSize);
    if (result.truncated && factor < 1) {
        result = measured(string, setting, setting.pointSize * factor);
        // Fitting is monotonic in the size: search between the smallest
        // size, which fits, and the full size, which does not.
        double tooLarge = setting.pointSize;
        for (int step = 0; step < shrinkSteps && !result.truncated; ++step) {
            double const middle = (result.pointSize + tooLarge) / 2;
            TextMeasurement candidate = measured(string, setting, middle);
            if (candidate.truncated)
                tooLarge = middle;
            else
                result = std::move(candidate);
        }
    }
    return result;
}

}
