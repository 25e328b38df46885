// publish-snapshot: what a host program does to feed the widget. It builds
// a snapshot of what it knows about the two services, stores it in the
// folder it shares with the widget, and optionally sets the widget's
// language.
//
//   publish-snapshot [LANGUAGE]
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include <chrono>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    using namespace std::chrono_literals;
    auto const now = std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::system_clock::now());

    // One limit that resets in two hours; the data counts as fresh until
    // the default time-to-live has passed (or the reset comes first).
    std::vector<TavvoWidgetLimitSnapshot> const limits { { "codex.five_hour", "5h", 64, now + 2h } };
    TavvoWidgetProviderSnapshot const codex {
        .id = TavvoWidgetProviderID::codex,
        .title = "Codex",
        .subtitle = std::nullopt,
        .status = TavvoWidgetProviderStatus::available,
        .limits = limits,
        .observedAt = now,
        .freshUntil = TavvoFreshnessPolicy::freshUntil(now, { now + 2h }, TavvoFreshnessPolicy::defaultTTL),
        .note = std::nullopt,
    };
    TavvoWidgetSnapshot const snapshot { TavvoWidgetSnapshot::currentSchemaVersion, now, { codex }, std::nullopt };

    try {
        // The group of the program's own information dictionary, or the
        // built-in one the widget uses too.
        TavvoWidgetSnapshotStore const store(TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle()),
            std::nullopt, Foundation::FileManager::defaultManager());
        store.writeSnapshot(snapshot);
        std::printf("wrote %s\n", store.snapshotURL().c_str());
        if (argc > 1) {
            L10n::setLanguageOverride(std::string(argv[1]));
            std::printf("language %s\n", L10n::resolvedLanguage().c_str());
        }
    } catch (const TavvoWidgetSnapshotStoreError& error) {
        std::fprintf(stderr, "publish-snapshot: %s\n", error.errorDescription().c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "publish-snapshot: %s\n", error.what());
        return 1;
    }
    return 0;
}
