#include "Commands.hpp"

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <iostream>
#include <iterator>
#include <span>
#include <system_error>

namespace {

using Operands = std::span<const std::string>;

struct Command {
    std::vector<std::string> words; // e.g. {"snapshot", "write"}
    std::string operandsUsage; // e.g. "[FILE|-]"
    std::string summary;
    std::function<ExitStatus(const CommandLine&, Operands)> run;
};

constexpr std::string_view globalOptionsHelp = R"(Global options (before or after the command):
  --base-dir DIR    use DIR in place of the shared folder (for tests and scripts)
  --app-group ID    the application group whose shared folder holds the snapshot
  -h, --help        show help for the command
)";

TavvoWidgetSnapshotStore makeStore(const CommandLine& line)
{
    std::string group = line.appGroupIdentifier
        ? *line.appGroupIdentifier
        : TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle());
    return TavvoWidgetSnapshotStore(std::move(group), line.baseDirectory, Foundation::FileManager::defaultManager());
}

// The bytes of FILE, or of standard input for "-" or no operand.
std::string readInput(Operands operands)
{
    if (operands.size() > 1)
        throw UsageError("expected at most one input file");
    std::string const name = operands.empty() ? "-" : operands.front();
    if (name == "-") {
        std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        if (bytes.size() > TavvoWidgetSnapshotStore::maximumSnapshotFileLength)
            throw std::system_error(EFBIG, std::generic_category(), "cannot read standard input");
        return bytes;
    }
    try {
        return Foundation::FileManager::defaultManager()->contentsOfFile(name, TavvoWidgetSnapshotStore::maximumSnapshotFileLength);
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::no_such_file_or_directory)
            throw InputMissingError(error.what());
        throw;
    }
}

void expectNoOperands(Operands operands)
{
    if (!operands.empty())
        throw UsageError(fmt::format("unexpected argument '{}'", operands.front()));
}

void rejectAppGroup(const CommandLine& line)
{
    // The language override lives in the suite of the program's own group;
    // silently ignoring another one would set the wrong language.
    if (line.appGroupIdentifier)
        throw UsageError("--app-group applies to the snapshot commands only");
}

TavvoWidgetSnapshot decodeInput(Operands operands)
{
    return TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(readInput(operands));
}

void printDocument(const TavvoWidgetSnapshot& snapshot)
{
    fmt::print("{}\n", TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot));
}

ExitStatus snapshotNormalize(const CommandLine&, Operands operands)
{
    printDocument(decodeInput(operands));
    return ExitStatus::success;
}

ExitStatus snapshotWrite(const CommandLine& line, Operands operands)
{
    auto const snapshot = decodeInput(operands);
    auto const store = makeStore(line);
    if (snapshot.schemaVersion != TavvoWidgetSnapshot::currentSchemaVersion) {
        fmt::print(stderr, "tavvo: warning: schemaVersion is {}, not {}: the widget will not show this document\n",
            snapshot.schemaVersion, TavvoWidgetSnapshot::currentSchemaVersion);
    }
    store.writeSnapshot(snapshot);
    return ExitStatus::success;
}

ExitStatus snapshotRead(const CommandLine& line, Operands operands)
{
    expectNoOperands(operands);
    auto const snapshot = makeStore(line).readSnapshot();
    if (!snapshot) {
        fmt::print(stderr, "tavvo: no snapshot of version {} to show\n", TavvoWidgetSnapshot::currentSchemaVersion);
        return ExitStatus::nothingToShow;
    }
    printDocument(*snapshot);
    return ExitStatus::success;
}

ExitStatus snapshotPath(const CommandLine& line, Operands operands)
{
    expectNoOperands(operands);
    fmt::print("{}\n", makeStore(line).snapshotURL().string());
    return ExitStatus::success;
}

ExitStatus languageGet(const CommandLine& line, Operands operands)
{
    rejectAppGroup(line);
    expectNoOperands(operands);
    auto const value = L10n::selectedLanguageOverride();
    if (!value) {
        fmt::print(stderr, "tavvo: no language override is set\n");
        return ExitStatus::nothingToShow;
    }
    fmt::print("{}\n", *value);
    return ExitStatus::success;
}

ExitStatus languageSet(const CommandLine& line, Operands operands)
{
    rejectAppGroup(line);
    if (operands.size() != 1)
        throw UsageError("expected one language code");
    L10n::setLanguageOverride(operands.front());
    fmt::print("{}\n", L10n::selectedLanguageOverride().value_or(""));
    return ExitStatus::success;
}

ExitStatus languageClear(const CommandLine& line, Operands operands)
{
    rejectAppGroup(line);
    expectNoOperands(operands);
    L10n::setLanguageOverride(std::nullopt);
    return ExitStatus::success;
}

ExitStatus languageResolved(const CommandLine& line, Operands operands)
{
    rejectAppGroup(line);
    expectNoOperands(operands);
    fmt::print("{}\n", L10n::resolvedLanguage());
    return ExitStatus::success;
}

ExitStatus languageList(const CommandLine& line, Operands operands)
{
    rejectAppGroup(line);
    expectNoOperands(operands);
    for (auto const& code : L10n::supportedLocalizations())
        fmt::print("{}\t{}\n", code, L10n::displayName(code));
    return ExitStatus::success;
}

const std::vector<Command>& commands()
{
    static std::vector<Command> const table {
        { { "snapshot", "normalize" }, "[FILE|-]",
            "Decode a snapshot document and print it as the library writes it (no version check).", snapshotNormalize },
        { { "snapshot", "write" }, "[FILE|-]",
            "Decode a snapshot document and store it in the shared folder, replacing the current one atomically.",
            snapshotWrite },
        { { "snapshot", "read" }, "",
            "Print the stored snapshot; exit 3 when there is none of the current version.", snapshotRead },
        { { "snapshot", "path" }, "", "Print where the snapshot file lives; creates nothing.", snapshotPath },
        { { "language", "get" }, "", "Print the stored language override; exit 3 when none is set.", languageGet },
        { { "language", "set" }, "CODE", "Set the language override (stored normalized) and print what was stored.",
            languageSet },
        { { "language", "clear" }, "", "Remove the language override: the system preference decides again.",
            languageClear },
        { { "language", "resolved" }, "", "Print the language in force.", languageResolved },
        { { "language", "list" }, "", "Print each supported language code and its name.", languageList },
    };
    return table;
}

std::string usageLine(const Command& command)
{
    std::string line = "tavvo";
    for (auto const& word : command.words)
        line += " " + word;
    if (!command.operandsUsage.empty())
        line += " " + command.operandsUsage;
    return line;
}

bool startsWith(const std::vector<std::string>& words, Operands prefix)
{
    return prefix.size() <= words.size() && std::equal(prefix.begin(), prefix.end(), words.begin());
}

// Help for every command whose words begin with `prefix`.
void printHelp(Operands prefix)
{
    std::string text;
    if (prefix.empty())
        text += "tavvo: publish widget snapshots and set the widget's language.\n\n";
    text += "Usage:\n";
    for (auto const& command : commands()) {
        if (!startsWith(command.words, prefix))
            continue;
        text += fmt::format("  {}\n      {}\n", usageLine(command), command.summary);
    }
    text += "\n";
    text += globalOptionsHelp;
    text += "\nExit status: 0 done, 1 failure, 2 usage error, 3 nothing to show, 65 not a valid snapshot,\n"
            "66 input file missing.\n";
    fmt::print("{}", text);
}

}

ExitStatus runCommand(const CommandLine& line)
{
    Operands const words(line.words);
    for (auto const& command : commands()) {
        if (words.size() >= command.words.size() && std::equal(command.words.begin(), command.words.end(), words.begin())) {
            if (line.help) {
                printHelp(words.first(command.words.size()));
                return ExitStatus::success;
            }
            return command.run(line, words.subspan(command.words.size()));
        }
    }

    // A group name alone ("tavvo snapshot"), or nothing: help for it.
    bool const knownPrefix = std::any_of(commands().begin(), commands().end(),
        [&](const Command& command) { return startsWith(command.words, words); });
    if (knownPrefix) {
        printHelp(words);
        return ExitStatus::success;
    }
    throw UsageError(fmt::format("unknown command '{}'", fmt::join(line.words, " ")));
}
