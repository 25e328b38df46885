// TextMeasurer: measures texts for one layout pass, shrinking them to fit
// before truncating, and remembers each answer: a parent asks its children
// several times, so a text deep in a tree is asked the same question many
// times over. It also keeps, for the same pass, what containers worked out
// about their children (a stack's arrangement), since a stack asked again
// would otherwise ask its whole subtree again, at every level of nesting.
#pragma once

#include "Platform/UI/Environment.hpp"
#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

    // What `view` remembered for this proposal and environment, or nothing.
    // A view keeps one kind of Value; layout is a pure function of the
    // view, the proposal and the environment, so the answer stays right
    // for the whole pass.
    template <class Value>
    const Value* remembered(const void* view, std::optional<double> width, std::optional<double> height, const Environment& environment) const
    {
        auto const found = m_remembered.find({ view, width, height });
        if (found == m_remembered.end())
            return nullptr;
        for (auto const& [knownEnvironment, value] : found->second) {
            if (knownEnvironment == environment)
                return static_cast<const Value*>(value.get());
        }
        return nullptr;
    }

    template <class Value>
    const Value& remember(const void* view, std::optional<double> width, std::optional<double> height, const Environment& environment, Value value)
    {
        auto stored = std::make_shared<const Value>(std::move(value));
        auto const& result = *stored;
        m_remembered[{ view, width, height }].emplace_back(environment, std::move(stored));
        return result;
    }

    // Views are remembered by address, so a view built during the pass (a
    // geometry reader's content) must outlive it: no later view may come to
    // sit at the same address and be taken for it.
    void keepAlive(std::shared_ptr<const void> view) { m_keptAlive.push_back(std::move(view)); }

private:
    TextMeasurement measureAnew(const std::string& string, const TextSetting& setting, double factor);

    using ViewKey = std::tuple<const void*, std::optional<double>, std::optional<double>>;

    std::map<std::tuple<std::string, TextSetting, double>, TextMeasurement> m_measurements;
    std::map<ViewKey, std::vector<std::pair<Environment, std::shared_ptr<const void>>>> m_remembered;
    std::vector<std::shared_ptr<const void>> m_keptAlive;
};

}
