#include "Commands.hpp"

#include "ClaudeStatusLineCommand.hpp"
#include "CollectCommand.hpp"
#include "GlobalOptions.hpp"

#include "Platform/CommandLine/UsageError.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/StandardInput.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

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

}

int runTavvoCommandLine(std::span<const std::string> arguments, const CommandLine::Program::FailureMapping& failureOf)
{
    CommandLine::Program program("tavvo", "tavvo: collect usage limits from Codex and Claude Code, publish widget snapshots and set the widget's language.",
        "Exit status: 0 done, 1 failure, 2 usage error, 3 nothing to show, 65 not a valid snapshot,\n"
        "66 input file missing.");

    GlobalOptions global;
    global.declare(program.global());

    std::string file = "-";
    auto const fileOperand = [&file](CLI::App& command) {
        command.add_option("FILE", file, "the document; - or none reads standard input")->type_name("");
    };
    fileOperand(program.command({ "snapshot", "normalize" },
        "Decode a snapshot document and print it as the library writes it (no version check).",
        [&] { return snapshotNormalize(file); }));
    fileOperand(program.command({ "snapshot", "write" },
        "Decode a snapshot document and store it in the shared folder, replacing the current one atomically.",
        [&] { return snapshotWrite(global, file); }));
    program.command({ "snapshot", "read" }, "Print the stored snapshot; exit 3 when there is none of the current version.",
        [&] { return snapshotRead(global); });
    program.command({ "snapshot", "path" }, "Print where the snapshot file lives; creates nothing.", [&] { return snapshotPath(global); });

    program.command({ "language", "get" }, "Print the stored language override; exit 3 when none is set.",
        [&] { return languageGet(global); });
    std::string code;
    program
        .command({ "language", "set" }, "Set the language override (stored normalized) and print what was stored.",
            [&] { return languageSet(global, code); })
        .add_option("CODE", code, "a language code such as fr or zh-Hans")
        ->required()
        ->type_name("");
    program.command({ "language", "clear" }, "Remove the language override: the system preference decides again.",
        [&] { return languageClear(global); });
    program.command({ "language", "resolved" }, "Print the language in force.", [&] { return languageResolved(global); });
    program.command({ "language", "list" }, "Print each supported language code and its name.", [&] { return languageList(global); });

    CollectCommand const collect(program, global);
    addClaudeStatusLineCommand(program);

    return program.run(arguments, failureOf);
}
