// ValueCompletion: what Tab offers for the value of an option or an
// operand, told where the option is declared, for the completion a program
// generates of itself (BashCompletion):
//
//   command.add_option("-o,--output", output, "...")->check(CommandLine::completes(CommandLine::ValueKind::files));
//   command.add_option("CODE", code, "...")->check(CommandLine::completesWords({ "en", "fr" }));
//
// The choice validators of OptionValidators offer the values they accept
// without being told. An option told nothing offers nothing for its value.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace CommandLine {

enum class ValueKind {
    words, // one of a list of words
    files,
    directories,
    directoryList, // several folders, comma-separated
    programs, // a program on PATH, or a file
    commandLine, // another program and its arguments, after "--"
};

struct ValueCompletion {
    ValueKind kind;
    std::vector<std::string> words; // for ValueKind::words
};

// A validator that checks nothing and tells the completion to offer `kind`
// (not ValueKind::words: see completesWords).
CLI::Validator completes(ValueKind kind);

// A validator that checks nothing and tells the completion to offer `words`.
CLI::Validator completesWords(std::vector<std::string> words);

// `validator`, telling the completion besides to offer `words`: for a
// validator that accepts a fixed list.
CLI::Validator offering(CLI::Validator validator, const std::vector<std::string>& words);

// What the declarations tell the completion to offer for `option`'s value;
// nothing when they tell nothing.
std::optional<ValueCompletion> valueCompletion(CLI::Option& option);

}
