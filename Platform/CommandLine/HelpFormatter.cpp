#include "Platform/CommandLine/HelpFormatter.hpp"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <vector>

namespace CommandLine {

namespace {

const CLI::App& programOf(const CLI::App& level)
{
    const CLI::App* program = &level;
    while (program->get_parent())
        program = program->get_parent();
    return *program;
}

// The commands a page lists: the level itself when it is one, else every
// command beneath it in the order they were declared.
void appendCommands(const CLI::App& level, std::vector<const CLI::App*>& commands)
{
    auto const children = level.get_subcommands([](const CLI::App*) { return true; });
    if (children.empty()) {
        commands.push_back(&level);
        return;
    }
    for (auto const* child : children)
        appendCommands(*child, commands);
}

// The options a page lists under a heading: those in help, of one kind.
enum class OptionKind { operand, named };

std::vector<const CLI::Option*> listedOptions(const CLI::App& level, OptionKind kind, const CLI::Option* left)
{
    return level.get_options([kind, left](const CLI::Option* option) {
        return option != left && !option->get_group().empty() && option->get_positional() == (kind == OptionKind::operand);
    });
}

std::string usageOf(const CLI::Option& option)
{
    if (option.get_positional())
        return option.get_name(true, false);
    // The shortest spelling: "-o FILE" rather than "--output FILE".
    auto const& shortNames = option.get_snames();
    std::string text = shortNames.empty() ? "--" + option.get_lnames().front() : "-" + shortNames.front();
    if (option.get_type_size() != 0 && !option.get_type_name().empty())
        text += " " + option.get_type_name();
    return text;
}

// Usage lines longer than this go on, indented, on the next line.
constexpr std::size_t usageWidth = 100;

// "program group command --required V [--optional V] OPERAND [OPERAND]".
std::string usageLine(const CLI::App& command)
{
    std::string line = command.get_name();
    for (const CLI::App* parent = command.get_parent(); parent; parent = parent->get_parent())
        line = parent->get_name() + " " + line;
    std::size_t lineStart = 0;
    for (auto const kind : { OptionKind::named, OptionKind::operand }) {
        for (auto const* option : listedOptions(command, kind, command.get_help_ptr())) {
            auto const usage = option->get_required() ? usageOf(*option) : "[" + usageOf(*option) + "]";
            if (line.size() - lineStart + 1 + usage.size() > usageWidth) {
                line += "\n         ";
                lineStart = line.size() - 9;
            } else {
                line += " ";
            }
            line += usage;
        }
    }
    return line;
}

std::string indented(const std::string& text, std::string_view indentation)
{
    std::string result(indentation);
    for (char const character : text) {
        result += character;
        if (character == '\n')
            result += indentation;
    }
    return result;
}

}

std::string HelpFormatter::make_help(const CLI::App* level, std::string, CLI::AppFormatMode) const
{
    auto const& program = programOf(*level);
    std::string page;
    if (level == &program && !program.get_description().empty())
        page += program.get_description() + "\n\n";

    page += "Usage:\n";
    std::vector<const CLI::App*> commands;
    appendCommands(*level, commands);
    for (auto const* command : commands)
        page += fmt::format("  {}\n{}\n", usageLine(*command), indented(command->get_description(), "      "));

    if (level != &program) {
        if (auto const operands = listedOptions(*level, OptionKind::operand, nullptr); !operands.empty())
            page += make_group("Operands", true, operands);
        if (auto const options = listedOptions(*level, OptionKind::named, level->get_help_ptr()); !options.empty())
            page += make_group("Options", false, options);
    }
    page += make_group("Global options (before or after the command)", false, listedOptions(program, OptionKind::named, nullptr));
    if (!program.get_footer().empty())
        page += "\n" + program.get_footer() + "\n";
    return page;
}

}
