#include "Platform/CommandLine/Program.hpp"

#include "Platform/CommandLine/HelpFormatter.hpp"
#include "Platform/CommandLine/UsageError.hpp"

#include <fmt/format.h>

#include <cstdio>

namespace CommandLine {

namespace {

constexpr char const* undeclaredOperands = "undeclared-operands";

}

Program::Program(std::string name, std::string description, std::string footer)
    : m_name(std::move(name))
    , m_application(std::move(description), m_name)
{
    m_application.formatter(std::make_shared<HelpFormatter>());
    m_application.set_help_flag("-h,--help", "show help for the command");
    m_application.footer(std::move(footer));
    m_application.require_subcommand(0, 1);
    // Options nothing declared are kept, to be named in the error.
    m_application.allow_extras();
    m_levels.emplace(&m_application, Level { &m_application, std::nullopt, {} });
}

CLI::App& Program::subcommand(CLI::App& parent, const std::string& word, const std::string& summary)
{
    auto const existing = parent.get_subcommands([&word](const CLI::App* child) { return child->get_name() == word; });
    if (!existing.empty())
        return *existing.front();
    auto& child = *parent.add_subcommand(word, summary);
    // Options the command does not know go up to the program's level, so
    // the global ones are accepted after the command too.
    child.fallthrough();
    // One command a line: a later word naming another command is an
    // operand, not a second command.
    child.require_subcommand(0, 1);
    m_levels.emplace(&child, Level { &child, std::nullopt, {} });
    return child;
}

CLI::App& Program::command(const std::vector<std::string>& words, std::string summary, Handler handler)
{
    CLI::App* level = &m_application;
    for (std::size_t index = 0; index < words.size(); ++index)
        level = &subcommand(*level, words[index], index + 1 == words.size() ? summary : std::string());
    this->level(*level).handler = std::move(handler);
    return *level;
}

void Program::collectUndeclaredOperands()
{
    // Every operand stays at the level it was given on, rather than being
    // passed up to where it might name another command; those no operand
    // was declared for are collected and rejected after parsing. Added
    // last, so that the declared operands fill first.
    for (auto& [key, level] : m_levels) {
        if (!level.app->get_option_no_throw(undeclaredOperands))
            level.app->add_option(undeclaredOperands, level.extraOperands)->group("");
    }
}

int Program::fail(ExitStatus status, const std::string& message) const
{
    fmt::print(stderr, "{}: {}\n", m_name, message);
    return static_cast<int>(status);
}

int Program::runParsed()
{
    // Every operand was taken by a level, so what is left are options.
    if (auto const unknown = m_application.remaining(); !unknown.empty())
        throw UsageError(fmt::format("unknown option {}", unknown.front()));

    // The levels the line went down: the program, its groups, the command.
    std::vector<const CLI::App*> chosen { &m_application };
    while (!chosen.back()->get_subcommands().empty())
        chosen.push_back(chosen.back()->get_subcommands().front());

    // Operands no declaration took: an unknown command word in a group, an
    // extra argument to a command.
    std::vector<std::string> words;
    for (auto const* current : chosen) {
        if (current != &m_application)
            words.push_back(current->get_name());
        auto const& operands = level(*current).extraOperands;
        if (operands.empty())
            continue;
        if (level(*current).handler)
            throw UsageError(fmt::format("unexpected argument '{}'", operands.front()));
        words.push_back(operands.front());
        throw UsageError(fmt::format("unknown command '{}'", fmt::join(words, " ")));
    }

    // A group word alone, or no command at all, asks what there is.
    auto const& handler = level(*chosen.back()).handler;
    if (!handler) {
        fmt::print("{}", m_application.help());
        return static_cast<int>(ExitStatus::success);
    }
    return static_cast<int>((*handler)());
}

int Program::run(std::span<const std::string> arguments, const FailureMapping& failureOf)
{
    auto const seeHelp = [this](const std::string& message) {
        return fail(ExitStatus::usage, fmt::format("{} (see '{} --help')", message, m_name));
    };
    try {
        collectUndeclaredOperands();
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        m_application.parse(reversed);
        return runParsed();
    } catch (const CLI::CallForHelp&) {
        fmt::print("{}", m_application.help());
        return static_cast<int>(ExitStatus::success);
    } catch (const CLI::ParseError& error) {
        return seeHelp(error.what());
    } catch (const UsageError& error) {
        return seeHelp(error.what());
    } catch (const std::exception& error) {
        if (failureOf) {
            if (auto const failure = failureOf(std::current_exception()))
                return fail(failure->status, failure->message);
        }
        return fail(ExitStatus::failure, error.what());
    }
}

}
