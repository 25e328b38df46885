#include "Platform/WidgetKit/WidgetCommandLine.hpp"

#include <algorithm>

namespace WidgetKit {

namespace {

constexpr CommandOption nowOption { "--now", true };
constexpr CommandOption baseDirectoryOption { "--base-dir", true };
constexpr CommandOption helpOption { "--help", false, "-h" };

const CommandOption* findOption(std::string_view name, std::span<const CommandOption> accepted)
{
    auto const found = std::find_if(accepted.begin(), accepted.end(),
        [name](const CommandOption& option) { return name == option.name || (!option.shortName.empty() && name == option.shortName); });
    return found == accepted.end() ? nullptr : &*found;
}

}

std::optional<std::string> WidgetCommandLine::option(std::string_view name) const
{
    auto const found = options.find(name);
    if (found == options.end())
        return std::nullopt;
    return found->second;
}

WidgetCommandLine WidgetCommandLine::parse(std::span<const std::string> arguments,
    const std::function<std::optional<std::vector<CommandOption>>(std::string_view command)>& optionsOf)
{
    WidgetCommandLine line;
    std::vector<CommandOption> accepted { nowOption, baseDirectoryOption, helpOption };
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        std::string_view argument = arguments[index];
        bool const isOption = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (!isOption) {
            if (!line.command) {
                line.command = std::string(argument);
                // The command's own options are known only once it is.
                if (auto const commandOptions = optionsOf(argument))
                    accepted.insert(accepted.end(), commandOptions->begin(), commandOptions->end());
            } else {
                line.operands.emplace_back(argument);
            }
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }

        std::optional<std::string> inlineValue;
        if (auto const equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = std::string(argument.substr(equals + 1));
            argument = argument.substr(0, equals);
        }
        auto const* option = findOption(argument, accepted);
        if (!option) {
            throw UsageError(line.command && optionsOf(*line.command)
                    ? "unknown option " + std::string(argument) + " for '" + *line.command + "'"
                    : "unknown option " + std::string(argument));
        }
        std::string value;
        if (option->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (index + 1 < arguments.size()) {
                value = arguments[++index];
            } else {
                throw UsageError("option " + std::string(option->name) + " needs a value");
            }
        } else if (inlineValue) {
            throw UsageError("option " + std::string(option->name) + " takes no value");
        }

        if (option->name == helpOption.name) {
            line.help = true;
            continue;
        }
        std::optional<std::string>* global = option->name == nowOption.name ? &line.now
            : option->name == baseDirectoryOption.name                        ? &line.baseDirectory
                                                                            : nullptr;
        bool const repeated = global ? global->has_value() : line.options.contains(option->name);
        if (repeated)
            throw UsageError("option " + std::string(option->name) + " given twice");
        if (global)
            *global = std::move(value);
        else
            line.options.emplace(option->name, std::move(value));
    }
    return line;
}

}
