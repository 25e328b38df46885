// WidgetConfiguration: one widget as it registers with the host: its kind,
// the name and description the gallery shows, the families it offers, and
// its timeline provider and content, with the entry type hidden so that the
// host can drive any widget.
//
//   auto const widget = WidgetKit::staticConfiguration("Clock", ClockProvider(), clockContent)
//                           .configurationDisplayName([] { return std::string("Clock"); })
//                           .supportedFamilies({ WidgetKit::WidgetFamily::systemSmall });
#pragma once

#include "Platform/WidgetKit/Timeline.hpp"
#include "Platform/WidgetKit/WidgetContent.hpp"
#include "Platform/WidgetKit/WidgetFamily.hpp"

#include <concepts>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace WidgetKit {

// Answers the host's three requests. Each answer is given synchronously:
// the completion is called exactly once, before the request returns.
template <class Provider>
concept TimelineProvider = TimelineEntry<typename Provider::Entry>
    && requires(const Provider& provider, const TimelineProviderContext& context) {
           { provider.placeholder(context) } -> std::same_as<typename Provider::Entry>;
           provider.getSnapshot(context, std::function<void(typename Provider::Entry)>());
           provider.getTimeline(context, std::function<void(Timeline<typename Provider::Entry>)>());
       };

// An entry as the host keeps it, whatever the widget's entry type.
struct HostedEntry {
    Foundation::Date date;
    // Writes the entry's JSON description as the writer's next value.
    std::function<void(Foundation::JSONWriter&)> writeJSON;
    // The widget's content for this entry at a family.
    std::function<WidgetContent(WidgetFamily)> content;
};

struct HostedTimeline {
    std::vector<HostedEntry> entries;
    TimelineReloadPolicy policy;
};

class WidgetConfiguration {
public:
    using Text = std::function<std::string()>;
    using EntryRequest = std::function<HostedEntry(const TimelineProviderContext&)>;
    using TimelineRequest = std::function<HostedTimeline(const TimelineProviderContext&)>;

    WidgetConfiguration(std::string kind, EntryRequest placeholder, EntryRequest snapshot, TimelineRequest timeline);

    // The texts are asked for each time the host shows them, so they follow
    // the language in force at that moment.
    WidgetConfiguration configurationDisplayName(Text displayName) const;
    WidgetConfiguration description(Text description) const;
    // In the order the gallery offers them. Every family unless set.
    WidgetConfiguration supportedFamilies(std::vector<WidgetFamily> families) const;
    // The files whose change should make a live host ask for a new
    // timeline at once, rather than at the reload date: on this desktop the
    // stand-in for a host program asking the widget center to reload. Asked
    // for when the host starts watching; none unless set.
    using Files = std::function<std::vector<std::filesystem::path>()>;
    WidgetConfiguration reloadsWhenChanged(Files files) const;

    const std::string& kind() const { return m_kind; }
    std::string displayName() const;
    std::string description() const;
    const std::vector<WidgetFamily>& supportedFamilies() const { return m_families; }
    std::vector<std::filesystem::path> reloadSources() const;

    HostedEntry placeholder(const TimelineProviderContext& context) const { return m_placeholder(context); }
    HostedEntry snapshot(const TimelineProviderContext& context) const { return m_snapshot(context); }
    HostedTimeline timeline(const TimelineProviderContext& context) const { return m_timeline(context); }

private:
    std::string m_kind;
    EntryRequest m_placeholder;
    EntryRequest m_snapshot;
    TimelineRequest m_timeline;
    Text m_displayName;
    Text m_description;
    std::vector<WidgetFamily> m_families;
    Files m_reloadSources;
};

namespace Detail {

// The one answer a completion-style request gave. A provider that answers
// twice or not at all breaks the host's contract; that is a programming
// error, reported as such rather than guessed around.
template <class Answer, class Request>
Answer onlyAnswer(Request&& request)
{
    std::vector<Answer> answers;
    request([&answers](Answer answer) { answers.push_back(std::move(answer)); });
    if (answers.size() != 1)
        throw std::logic_error("a timeline provider answered " + std::to_string(answers.size()) + " times instead of once");
    return std::move(answers.front());
}

}

// A widget the user configures nothing of. `content` builds the widget's
// content from an entry and the family shown: WidgetContent(const Entry&,
// WidgetFamily).
template <TimelineProvider Provider, class Content>
    requires std::is_invocable_r_v<WidgetContent, const Content&, const typename Provider::Entry&, WidgetFamily>
WidgetConfiguration staticConfiguration(std::string kind, Provider provider, Content content)
{
    using Entry = typename Provider::Entry;
    auto const hosted = [content](const Entry& entry) {
        return HostedEntry { entry.date, [entry](Foundation::JSONWriter& writer) { writeJSON(writer, entry); },
            [content, entry](WidgetFamily family) { return content(entry, family); } };
    };
    return WidgetConfiguration(
        std::move(kind),
        [provider, hosted](const TimelineProviderContext& context) { return hosted(provider.placeholder(context)); },
        [provider, hosted](const TimelineProviderContext& context) {
            return hosted(Detail::onlyAnswer<Entry>([&](auto completion) { provider.getSnapshot(context, completion); }));
        },
        [provider, hosted](const TimelineProviderContext& context) {
            auto const timeline = Detail::onlyAnswer<Timeline<Entry>>([&](auto completion) { provider.getTimeline(context, completion); });
            HostedTimeline answer { {}, timeline.policy };
            for (auto const& entry : timeline.entries)
                answer.entries.push_back(hosted(entry));
            return answer;
        });
}

}
