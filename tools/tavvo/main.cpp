// tavvo: the host-side command line over the shared library, so scripts and
// host programs can publish snapshots and set the widget's language.
#include "Commands.hpp"

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
    } catch (const InputMissingError& missing) {
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
    std::vector<std::string> const arguments(argv + 1, argv + argc);
    return runTavvoCommandLine(arguments, failureOf);
}
