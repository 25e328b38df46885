// tavvo: the host-side command line over the shared library, so scripts and
// host programs can publish snapshots and set the widget's language.
#include "ClaudeStatusLineCommand.hpp"
#include "CollectCommand.hpp"
#include "Commands.hpp"
#include "GlobalOptions.hpp"
#include "ObservationsCommand.hpp"

#include "Platform/CommandLine/BashCompletion.hpp"
#include "Platform/CommandLine/Program.hpp"
#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include <fmt/format.h>

#include <string>
#include <vector>

namespace {

using CommandLine::ExitStatus;
using Failure = CommandLine::Program::Failure;

// The statuses tavvo documents beyond usage errors and plain failures.
std::optional<Failure> failureOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TavvoTools::InputMissingError& missing) {
        return Failure { ExitStatus::inputMissing, missing.what() };
    } catch (const Tavvo::DecodingError& decoding) {
        return Failure { ExitStatus::notAValidDocument, fmt::format("not a valid snapshot: {}", decoding.what()) };
    } catch (const TavvoWidgetSnapshotStoreError& store) {
        return Failure { ExitStatus::failure, store.errorDescription() };
    } catch (...) {
        return std::nullopt;
    }
}

}

int main(int argc, char** argv)
{
    CommandLine::Program program("tavvo", "tavvo: collect usage limits from Codex and Claude Code, publish widget snapshots and set the widget's language.",
        "Exit status: 0 done, 1 failure, 2 usage error, 3 nothing to show, 65 not a valid snapshot,\n"
        "66 input file missing.");
    TavvoTools::GlobalOptions global;
    global.declare(program.global());
    TavvoTools::addSnapshotCommands(program, global);
    TavvoTools::addLanguageCommands(program, global);
    TavvoTools::addCollectCommand(program, global);
    TavvoTools::addObservationsCommand(program);
    TavvoTools::addClaudeStatusLineCommand(program);
    CommandLine::addCompletionCommand(program);

    std::vector<std::string> const arguments(argv + 1, argv + argc);
    return program.run(arguments, failureOf);
}
