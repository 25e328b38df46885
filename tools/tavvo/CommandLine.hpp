// What the command line asked for: the global options, wherever they
// stood, and the words of the command in order.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Exit statuses, shared by every command.
enum class ExitStatus : int {
    success = 0,
    failure = 1,
    usage = 2,
    nothingToShow = 3,
    dataError = 65, // a document that does not decode
    noInput = 66, // an input file that is not there
};

// A mistake in how the command was called; exits with `ExitStatus::usage`.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    std::optional<std::filesystem::path> baseDirectory;
    std::optional<std::string> appGroupIdentifier;
    bool help = false;
    std::vector<std::string> words; // subcommand words and their operands

    // Global options are accepted before or after the subcommand; "--"
    // ends option parsing, and "-" stays an operand (standard input).
    static CommandLine parse(const std::vector<std::string>& arguments);
};
