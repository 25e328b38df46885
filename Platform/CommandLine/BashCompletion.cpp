#include "Platform/CommandLine/BashCompletion.hpp"

#include "Platform/CommandLine/ValueCompletion.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <cctype>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace CommandLine {

namespace {

// The part every program shares. Each program's tables (below) say, by
// the path of words to a command ("program group command"):
//   commands[PATH]  the commands under PATH
//   options[PATH]   the command's options; options[global] the global ones
//   values[PATH:OPTION]  what the option's value is ("global:OPTION" for a
//                   global one); options without an entry take no value
//   operands[PATH]  what the command's operand is
// A value is a list of words, or one of the @ kinds of PREFIX_value.
constexpr std::string_view walker = R"(# Completes the value of an option or an operand; $1 says what it is.
PREFIX_value()
{
    case $1 in
        @file) _filedir ;;
        @dir) _filedir -d ;;
        @dirs)
            # Several folders, comma-separated: complete the last one.
            local head= folder
            if [[ $cur == *,* ]]; then
                head=${cur%,*},
                cur=${cur##*,}
            fi
            _filedir -d
            for folder in "${!COMPREPLY[@]}"; do
                COMPREPLY[folder]=$head${COMPREPLY[folder]}
            done
            ;;
        @program)
            if [[ $cur == */* ]]; then
                _filedir
            else
                COMPREPLY=($(compgen -c -- "$cur"))
            fi
            ;;
        # What runs after -- is another command line; until then, -- is
        # the one thing to type.
        @command) COMPREPLY=($(compgen -W "--" -- "$cur")) ;;
        @any) ;;
        *) COMPREPLY=($(compgen -W "$1" -- "$cur")) ;;
    esac
}

# Completes the line from the caller's tables; $1 is the program's name.
PREFIX_line()
{
    local cur prev words cword split
    # Instants carry colons; keep them inside their word.
    _init_completion -s -n : || return

    local path=$1 i word operand_given=
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $word == -- && ${operands[$path]-} == @command ]]; then
            # bash-completion shifts COMP_WORDS, whose split differs from
            # words at colons.
            local dashes
            for ((dashes = 1; dashes < COMP_CWORD; dashes++)); do
                [[ ${COMP_WORDS[dashes]} == -- ]] && break
            done
            _command_offset $((dashes + 1))
            return
        elif [[ $word == -?* ]]; then
            # The value of an option is neither a command nor an operand;
            # a lone - is an operand (standard input).
            [[ $word != *=* && ${values[$path:$word]-${values[global:$word]-}} ]] && ((i++))
        elif [[ " ${commands[$path]-} " == *" $word "* ]]; then
            path+=" $word"
        else
            operand_given=1
        fi
    done

    local kind=${values[$path:$prev]-${values[global:$prev]-}}
    if [[ $kind ]]; then
        PREFIX_value "$kind"
    elif [[ $split == true ]]; then
        return
    elif [[ $cur != -* && ${commands[$path]+set} ]]; then
        COMPREPLY=($(compgen -W "${commands[$path]}" -- "$cur"))
    elif [[ $cur != -* && ${operands[$path]-} && ! $operand_given ]]; then
        PREFIX_value "${operands[$path]}"
    else
        COMPREPLY=($(compgen -W "${options[$path]-} ${options[global]}" -- "$cur"))
    fi
    __ltrim_colon_completions "$cur"
}
)";

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (char const character : text)
        result += character == '\'' ? std::string(R"('\'')") : std::string(1, character);
    return result + "'";
}

std::string valueText(const std::optional<ValueCompletion>& completion)
{
    if (!completion)
        return "@any";
    switch (completion->kind) {
    case ValueKind::words:
        return fmt::format("{}", fmt::join(completion->words, " "));
    case ValueKind::files:
        return "@file";
    case ValueKind::directories:
        return "@dir";
    case ValueKind::directoryList:
        return "@dirs";
    case ValueKind::programs:
        return "@program";
    case ValueKind::commandLine:
        return "@command";
    }
    return "@any";
}

std::vector<std::string> namesOf(const CLI::Option& option)
{
    std::vector<std::string> names;
    for (auto const& name : option.get_snames())
        names.push_back("-" + name);
    for (auto const& name : option.get_lnames())
        names.push_back("--" + name);
    return names;
}

// The tables, filled level by level.
struct Tables {
    std::map<std::string, std::string> commands, options, values, operands;

    void add(CLI::App& level, const std::string& path, bool isProgram)
    {
        // Hidden options (an empty group) are not for typing. Each command
        // has its own help flag, which the program's stands for.
        auto const named = level.get_options([&level, isProgram](const CLI::Option* option) {
            return !option->get_positional() && !option->get_group().empty() && (isProgram || option != level.get_help_ptr());
        });
        auto const key = isProgram ? std::string("global") : path;
        std::vector<std::string> optionNames;
        for (auto* option : named) {
            auto const names = namesOf(*option);
            optionNames.insert(optionNames.end(), names.begin(), names.end());
            // A flag expects no value.
            if (option->get_expected_max() == 0)
                continue;
            for (auto const& name : names)
                values[key + ":" + name] = valueText(valueCompletion(*option));
        }
        if (!optionNames.empty())
            options[key] = fmt::format("{}", fmt::join(optionNames, " "));

        for (auto* operand : level.get_options([](const CLI::Option* option) { return option->get_positional() && !option->get_group().empty(); })) {
            if (auto const completion = valueCompletion(*operand)) {
                operands[path] = valueText(completion);
                break;
            }
        }

        auto const children = level.get_subcommands([](CLI::App*) { return true; });
        std::vector<std::string> words;
        for (auto* child : children) {
            words.push_back(child->get_name());
            add(*child, path + " " + child->get_name(), false);
        }
        if (!words.empty())
            commands[path] = fmt::format("{}", fmt::join(words, " "));
    }
};

std::string table(const std::string& name, const std::map<std::string, std::string>& entries)
{
    std::string text = fmt::format("    local -A {}=(\n", name);
    for (auto const& [key, value] : entries)
        text += fmt::format("        [{}]={}\n", quoted(key), quoted(value));
    return text + "    )\n";
}

// A shell function name from the program's: "my-tool" → "_my_tool".
std::string functionName(const std::string& program)
{
    std::string name = "_";
    for (char const character : program)
        name += std::isalnum(static_cast<unsigned char>(character)) ? character : '_';
    return name;
}

}

std::string bashCompletion(CLI::App& program)
{
    auto const name = program.get_name();
    auto const function = functionName(name);
    Tables tables;
    tables.add(program, name, true);

    std::string script = fmt::format("# bash completion for {0}, written by '{0} completion bash'       -*- shell-script -*-\n\n", name);
    std::string shared(walker);
    for (auto at = shared.find("PREFIX"); at != std::string::npos; at = shared.find("PREFIX", at))
        shared.replace(at, 6, function);
    script += shared + "\n";
    script += fmt::format("{}()\n{{\n", function);
    script += table("commands", tables.commands) + table("options", tables.options) + table("values", tables.values)
        + table("operands", tables.operands);
    script += fmt::format("    {}_line {}\n}} &&\n    complete -F {} {}\n\n# ex: filetype=sh\n", function, quoted(name), function, quoted(name));
    return script;
}

void addCompletionCommand(Program& program)
{
    auto& level = program.global();
    program.command({ "completion", "bash" },
        fmt::format("Print the bash completion of {0}'s commands and options, as installed for bash-completion;\n"
                    "'source <({0} completion bash)' loads it by hand.",
            level.get_name()),
        [&level] {
            fmt::print("{}", bashCompletion(level));
            return ExitStatus::success;
        });
}

}
