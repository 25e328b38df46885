#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarDocument.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitGauge.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <algorithm>
#include <cstdint>

namespace TavvoSurfaces {

namespace {

using Writer = Foundation::JSONLineWriter;

void writeBinding(Writer& writer, const std::optional<TavvoWidgetLimitSnapshot>& limit)
{
    if (!limit) {
        writer.Null();
        return;
    }
    writer.StartObject();
    writer.Key("id");
    Foundation::writeJSONString(writer, limit->id);
    writer.Key("title");
    Foundation::writeJSONString(writer, limit->title);
    writer.Key("remainingPercent");
    if (limit->remainingPercent)
        writer.Int64(*limit->remainingPercent);
    else
        writer.Null();
    writer.Key("resetDate");
    Foundation::writeJSONDate(writer, limit->resetDate);
    writer.EndObject();
}

void writeColor(Writer& writer, std::optional<NovikSeverity> severity, UI::Appearance appearance)
{
    writer.Key("color");
    Foundation::writeJSONStringOrNull(writer, severity ? statusBarColor(*severity, appearance) : std::nullopt);
}

void writePiece(Writer& writer, const StatusBarPiece& piece, UI::Appearance appearance)
{
    writer.StartObject();
    writer.Key("text");
    Foundation::writeJSONString(writer, piece.text);
    writer.Key("class");
    Foundation::writeJSONStringOrNull(writer, piece.styleClass);
    writeColor(writer, piece.severity, appearance);
    writer.EndObject();
}

// A limit as a host lays it out beside its gauge, every text the widget's
// row would read.
void writeLimit(Writer& writer, const std::string& providerTitle, const TavvoWidgetLimitSnapshot& limit, Foundation::Date now,
    UI::Appearance appearance)
{
    auto const severity = NovikSeverities::forRemaining(limit.remainingPercent);
    writer.StartObject();
    writer.Key("id");
    Foundation::writeJSONString(writer, limit.id);
    writer.Key("title");
    Foundation::writeJSONString(writer, limit.title);
    // A gauge's value: a writer's stray share is held to the gauge's range,
    // as the widget's meter holds it; `left` still reads it as written.
    writer.Key("remainingPercent");
    if (limit.remainingPercent)
        writer.Int64(std::clamp<std::int64_t>(*limit.remainingPercent, 0, 100));
    else
        writer.Null();
    writer.Key("severity");
    Foundation::writeJSONString(writer, Foundation::rawValue(severity));
    writeColor(writer, severity, appearance);
    writer.Key("left");
    Foundation::writeJSONString(writer, limitLeftText(limit));
    writer.Key("reset");
    Foundation::writeJSONStringOrNull(writer, limitResetText(limit, now));
    writer.Key("countdown");
    Foundation::writeJSONStringOrNull(writer, limitCountdownText(limit, now));
    writer.Key("accessibleName");
    Foundation::writeJSONString(writer, limitGaugeLabel(providerTitle, limit));
    writer.Key("description");
    Foundation::writeJSONString(writer, limitStanding(limit, now));
    writer.EndObject();
}

void writeProvider(Writer& writer, const StatusBarSummary& summary, const StatusBarProvider& provider, UI::Appearance appearance)
{
    writer.StartObject();
    writer.Key("id");
    Foundation::writeJSONString(writer, Foundation::rawValue(provider.record.id));
    writer.Key("title");
    Foundation::writeJSONString(writer, provider.heading());
    writer.Key("shortTitle");
    Foundation::writeJSONString(writer, provider.shortTitle());
    writer.Key("status");
    Foundation::writeJSONString(writer, Foundation::rawValue(provider.record.status));
    writer.Key("fresh");
    writer.Bool(!provider.stale());
    writer.Key("observedAt");
    Foundation::writeJSONDate(writer, provider.record.observedAt);
    writer.Key("freshUntil");
    Foundation::writeJSONDate(writer, provider.record.freshUntil);
    writer.Key("severity");
    Foundation::writeJSONString(writer, Foundation::rawValue(provider.severity));
    writer.Key("text");
    Foundation::writeJSONString(writer, plainText(providerPieces(provider)));
    writer.Key("details");
    writer.StartArray();
    for (auto const& line : summary.longFormLines(provider))
        Foundation::writeJSONString(writer, line);
    writer.EndArray();
    writer.Key("binding");
    writeBinding(writer, provider.shownBinding);
    writer.Key("limits");
    writer.StartArray();
    for (auto const& limit : summary.listedLimits(provider))
        writeLimit(writer, provider.heading(), limit, summary.entry().date, appearance);
    writer.EndArray();
    writer.EndObject();
}

constexpr std::string_view stateName(StatusBarState state)
{
    switch (state) {
    case StatusBarState::empty:
        return "empty";
    case StatusBarState::error:
        return "error";
    case StatusBarState::shown:
        break;
    }
    return "shown";
}

}

std::string statusBarDocument(const StatusBarSummary& summary, UI::Appearance appearance)
{
    Writer writer;
    writer.StartObject();
    writer.Key("version");
    writer.Int(1);
    writer.Key("date");
    Foundation::writeJSONDate(writer, summary.entry().date);
    writer.Key("state");
    Foundation::writeJSONString(writer, stateName(summary.state()));
    writer.Key("message");
    Foundation::writeJSONStringOrNull(writer, summary.entry().snapshot ? std::nullopt : summary.entry().errorText);
    writer.Key("text");
    Foundation::writeJSONString(writer, plainText(statusBarPieces(summary)));
    writer.Key("tooltip");
    Foundation::writeJSONString(writer, summary.tooltip());
    writer.Key("class");
    writer.StartArray();
    for (auto const& name : summary.classes())
        Foundation::writeJSONString(writer, name);
    writer.EndArray();
    writer.Key("severity");
    Foundation::writeJSONString(writer, Foundation::rawValue(summary.worstSeverity()));
    writer.Key("percentage");
    if (auto const least = summary.leastRemaining())
        writer.Int64(*least);
    else
        writer.Null();
    writer.Key("forecast");
    Foundation::writeJSONStringOrNull(writer, summary.forecastSentence());
    writer.Key("updated");
    Foundation::writeJSONStringOrNull(writer, summary.updatedLine());
    writer.Key("providers");
    writer.StartArray();
    for (auto const& provider : summary.providers())
        writeProvider(writer, summary, provider, appearance);
    writer.EndArray();
    writer.Key("pieces");
    writer.StartArray();
    for (auto const& piece : statusBarPieces(summary))
        writePiece(writer, piece, appearance);
    writer.EndArray();
    writer.Key("spoken");
    Foundation::writeJSONString(writer, summary.spokenLine());
    writer.Key("openLabel");
    Foundation::writeJSONString(writer, L10n::tr("bar.open", { L10n::tr("app.title") }));
    writer.Key("nextChange");
    Foundation::writeJSONDate(writer, summary.nextChange());
    writer.EndObject();
    return std::string(writer.text());
}

} // namespace TavvoSurfaces
