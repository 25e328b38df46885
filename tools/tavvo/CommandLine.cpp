#include "CommandLine.hpp"

CommandLine CommandLine::parse(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string const& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            line.words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            continue;
        }

        // --name VALUE or --name=VALUE
        std::string name = argument;
        std::optional<std::string> value;
        if (auto const equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (name != "--base-dir" && name != "--app-group")
            throw UsageError("unknown option " + name);
        if (!value) {
            if (i + 1 >= arguments.size())
                throw UsageError(name + " needs a value");
            value = arguments[++i];
        }
        if (value->empty())
            throw UsageError(name + " needs a non-empty value");
        if (name == "--base-dir")
            line.baseDirectory = std::filesystem::path(*value);
        else
            line.appGroupIdentifier = *value;
    }
    return line;
}
