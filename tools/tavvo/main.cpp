// tavvo: the host-side command line over the shared library, so scripts and
// host programs can publish snapshots and set the widget's language.
#include "CommandLine.hpp"
#include "Commands.hpp"

#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

int fail(ExitStatus status, const std::string& message)
{
    fmt::print(stderr, "tavvo: {}\n", message);
    return static_cast<int>(status);
}

}

int main(int argc, char** argv)
{
    std::vector<std::string> const arguments(argv + 1, argv + argc);
    try {
        return static_cast<int>(runCommand(CommandLine::parse(arguments)));
    } catch (const UsageError& error) {
        return fail(ExitStatus::usage, fmt::format("{} (see 'tavvo --help')", error.what()));
    } catch (const InputMissingError& error) {
        return fail(ExitStatus::noInput, error.what());
    } catch (const Tavvo::DecodingError& error) {
        return fail(ExitStatus::dataError, fmt::format("not a valid snapshot: {}", error.what()));
    } catch (const TavvoWidgetSnapshotStoreError& error) {
        return fail(ExitStatus::failure, error.errorDescription());
    } catch (const std::exception& error) {
        return fail(ExitStatus::failure, error.what());
    }
}
