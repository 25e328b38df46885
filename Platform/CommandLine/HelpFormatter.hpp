// HelpFormatter: a program's help pages, built from its CLI11 declarations.
// A page shows every command at or beneath the level asked about, each as
// a whole usage line with its summary beneath, then the level's own
// operands and options, the global options and the program's footer, so
// that the page of a group or of the program tells how to call each
// command without asking again.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace CommandLine {

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* level, std::string name, CLI::AppFormatMode mode) const override;
};

}
