// WidgetCommandLine: how the host's command line was called: the command
// word, its options and its operands, and the host's own options, which
// may stand before or after the command.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace WidgetKit {

// A mistake in how the program was called; the program exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An option a command accepts: "--family" (with a value), "--preview" (a
// flag). `shortName` is an alternative spelling such as "-o".
struct CommandOption {
    std::string_view name;
    bool takesValue;
    std::string_view shortName = {};
};

struct WidgetCommandLine {
    std::optional<std::string> now; // --now INSTANT
    std::optional<std::string> baseDirectory; // --base-dir DIR
    bool help = false;
    std::optional<std::string> command;
    // By long name; a flag maps to an empty text.
    std::map<std::string, std::string, std::less<>> options;
    std::vector<std::string> operands;

    std::optional<std::string> option(std::string_view name) const;
    bool flag(std::string_view name) const { return options.contains(name); }

    // `optionsOf` names the options of a command word (nothing for an
    // unknown command). Options are taken as "--name value" or
    // "--name=value"; "--" ends them. Throws UsageError for an unknown or
    // repeated option, or one missing its value.
    static WidgetCommandLine parse(std::span<const std::string> arguments,
        const std::function<std::optional<std::vector<CommandOption>>(std::string_view command)>& optionsOf);
};

}
