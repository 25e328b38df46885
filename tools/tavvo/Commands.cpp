#include "Commands.hpp"

#include "Platform/CommandLine/UsageError.hpp"
#include "Platform/CommandLine/ValueCompletion.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/StandardInput.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <system_error>

namespace TavvoTools {

namespace {

using CommandLine::ExitStatus;
using CommandLine::UsageError;

// The bytes of the file `name`, or of standard input for "-".
std::string readInput(const std::string& name)
{
    if (name == "-") {
        auto bytes = Foundation::readStandardInput(TavvoWidgetSnapshotStore::maximumSnapshotFileLength);
        if (!bytes)
            throw std::system_error(EFBIG, std::generic_category(), "cannot read standard input");
        return std::move(*bytes);
    }
    try {
        return Foundation::FileManager::defaultManager()->contentsOfFile(name, TavvoWidgetSnapshotStore::maximumSnapshotFileLength);
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::no_such_file_or_directory)
            throw InputMissingError(error.what());
        throw;
    }
}

void rejectAppGroup(const GlobalOptions& options)
{
    // The language override lives in the suite of the program's own group;
    // silently ignoring another one would set the wrong language.
    if (!options.appGroupIdentifier.empty())
        throw UsageError("--app-group applies to the snapshot commands only");
}

TavvoWidgetSnapshot decodeInput(const std::string& file)
{
    return TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(readInput(file));
}

void printDocument(const TavvoWidgetSnapshot& snapshot)
{
    fmt::print("{}\n", TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot));
}

ExitStatus snapshotNormalize(const std::string& file)
{
    printDocument(decodeInput(file));
    return ExitStatus::success;
}

ExitStatus snapshotWrite(const GlobalOptions& options, const std::string& file)
{
    auto const snapshot = decodeInput(file);
    auto const store = makeStore(options);
    if (snapshot.schemaVersion != TavvoWidgetSnapshot::currentSchemaVersion) {
        fmt::print(stderr, "tavvo: warning: schemaVersion is {}, not {}: the widget will not show this document\n",
            snapshot.schemaVersion, TavvoWidgetSnapshot::currentSchemaVersion);
    }
    store.writeSnapshot(snapshot);
    return ExitStatus::success;
}

ExitStatus snapshotRead(const GlobalOptions& options)
{
    auto const snapshot = makeStore(options).readSnapshot();
    if (!snapshot) {
        fmt::print(stderr, "tavvo: no snapshot of version {} to show\n", TavvoWidgetSnapshot::currentSchemaVersion);
        return ExitStatus::nothingToShow;
    }
    printDocument(*snapshot);
    return ExitStatus::success;
}

ExitStatus snapshotPath(const GlobalOptions& options)
{
    fmt::print("{}\n", makeStore(options).snapshotURL().string());
    return ExitStatus::success;
}

ExitStatus languageGet(const GlobalOptions& options)
{
    rejectAppGroup(options);
    auto const value = L10n::selectedLanguageOverride();
    if (!value) {
        fmt::print(stderr, "tavvo: no language override is set\n");
        return ExitStatus::nothingToShow;
    }
    fmt::print("{}\n", *value);
    return ExitStatus::success;
}

ExitStatus languageSet(const GlobalOptions& options, const std::string& code)
{
    rejectAppGroup(options);
    L10n::setLanguageOverride(code);
    fmt::print("{}\n", L10n::selectedLanguageOverride().value_or(""));
    return ExitStatus::success;
}

ExitStatus languageClear(const GlobalOptions& options)
{
    rejectAppGroup(options);
    L10n::setLanguageOverride(std::nullopt);
    return ExitStatus::success;
}

ExitStatus languageResolved(const GlobalOptions& options)
{
    rejectAppGroup(options);
    fmt::print("{}\n", L10n::resolvedLanguage());
    return ExitStatus::success;
}

ExitStatus languageList(const GlobalOptions& options)
{
    rejectAppGroup(options);
    for (auto const& code : L10n::supportedLocalizations())
        fmt::print("{}\t{}\n", code, L10n::displayName(code));
    return ExitStatus::success;
}

struct DocumentSettings {
    std::string file = "-";
};

// `snapshot WORD [FILE]`: a command over one document, read from FILE or
// standard input.
void addDocumentCommand(CommandLine::Program& program, const std::string& word, std::string summary,
    std::function<ExitStatus(const std::string& file)> handler)
{
    auto [command, settings] = program.command({ "snapshot", word }, std::move(summary), DocumentSettings {},
        [handler = std::move(handler)](const DocumentSettings& chosen) { return handler(chosen.file); });
    command.add_option("FILE", settings.file, "the document; - or none reads standard input")
        ->type_name("")
        ->check(CommandLine::completes(CommandLine::ValueKind::files));
}

struct LanguageSetSettings {
    std::string code;
};

}

void addSnapshotCommands(CommandLine::Program& program, const GlobalOptions& global)
{
    addDocumentCommand(program, "normalize", "Decode a snapshot document and print it as the library writes it (no version check).",
        [](const std::string& file) { return snapshotNormalize(file); });
    addDocumentCommand(program, "write",
        "Decode a snapshot document and store it in the shared folder, replacing the current one atomically.",
        [&global](const std::string& file) { return snapshotWrite(global, file); });
    program.command({ "snapshot", "read" }, "Print the stored snapshot; exit 3 when there is none of the current version.",
        [&global] { return snapshotRead(global); });
    program.command({ "snapshot", "path" }, "Print where the snapshot file lives; creates nothing.", [&global] { return snapshotPath(global); });
}

void addLanguageCommands(CommandLine::Program& program, const GlobalOptions& global)
{
    program.command({ "language", "get" }, "Print the stored language override; exit 3 when none is set.",
        [&global] { return languageGet(global); });
    auto [set, settings] = program.command({ "language", "set" },
        "Set the language override (stored normalized) and print what was stored.", LanguageSetSettings {},
        [&global](const LanguageSetSettings& chosen) { return languageSet(global, chosen.code); });
    set.add_option("CODE", settings.code, "a language code such as fr or zh-Hans")
        ->required()
        ->type_name("")
        ->check(CommandLine::completesWords(L10n::supportedLocalizations()));
    program.command({ "language", "clear" }, "Remove the language override: the system preference decides again.",
        [&global] { return languageClear(global); });
    program.command({ "language", "resolved" }, "Print the language in force.", [&global] { return languageResolved(global); });
    program.command({ "language", "list" }, "Print each supported language code and its name.", [&global] { return languageList(global); });
}

}
