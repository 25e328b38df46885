// ClaudeFileReading: what one file that may hold a Claude observation
// held when it was read.
#pragma once

#include "TavvoHost/Observation/ClaudeReading.hpp"
#include "TavvoHost/Observation/SourceState.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace TavvoHost {

struct ClaudeFileReading {
    // missing: no such file; present: read (it may hold nothing usable);
    // unreadable: it is there but could not be read.
    SourceState state = SourceState::missing;
    std::optional<ClaudeObservation> observation;
    // What went wrong, one line naming the file, for standard error.
    std::optional<std::string> problem;

    friend bool operator==(const ClaudeFileReading&, const ClaudeFileReading&) = default;
};

// The bytes of the regular file `file`, at most `maximumLength` of them;
// otherwise the reading that says why there are none: missing when nothing
// is there, unreadable with the error as its problem for anything else (no
// permission, not a regular file, too long).
std::variant<std::string, ClaudeFileReading> claudeFileContents(const std::filesystem::path& file, std::size_t maximumLength);

}
