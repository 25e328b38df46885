// Program: a command-line program's commands, declared once on CLI11, and
// the one way every program runs them: parse, help, handler, errors.
//
//   CommandLine::Program program("tool", "tool: does things.", "Exit status: 0 done, 2 usage error.");
//   program.global().add_option("--base-dir", baseDirectory, "...")->type_name("DIR");
//   addWriteCommand(program);
//   return program.run(arguments, failureOf);
//
// Each command is declared by one free function of this shape, which
// makes the command's settings, declares its options and operands into
// them and names what runs:
//
//   void addWriteCommand(CommandLine::Program& program)
//   {
//       auto [command, settings] = program.command({ "snapshot", "write" }, "Store a document.", WriteSettings {},
//           [](const WriteSettings& chosen) { return write(chosen.file); });
//       command.add_option("FILE", settings.file, "the document; - reads standard input");
//   }
//
// Global options stand before or after the command; "--name=value" and
// "--name value" both work; "--" ends the options and "-" is an operand.
// Help ("-h", "--help", a group word alone or no command at all) is built
// from the declarations and exits 0. Every error is one line on standard
// error, "program: message", with the status it maps to.
#pragma once

#include "Platform/CommandLine/ExitStatus.hpp"

// CLI11 as a whole: its parts are not each self-contained.
#include <CLI/CLI.hpp>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace CommandLine {

class Program {
public:
    // Runs a command once its line has parsed: the variables its options
    // and operands are bound to hold their values by then.
    using Handler = std::function<ExitStatus()>;

    // How a program ends on an error a handler threw.
    struct Failure {
        ExitStatus status;
        std::string message;
    };
    // The program's own error types: a failure for one it knows (rethrow
    // the pointer to catch it), nothing for the rest. UsageError and other
    // std::exception errors need no mapping.
    using FailureMapping = std::function<std::optional<Failure>(std::exception_ptr)>;

    // `footer` ends every help page (the exit statuses, say).
    Program(std::string name, std::string description, std::string footer);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The program's own level: options declared here are global, accepted
    // before or after any command.
    CLI::App& global() { return m_application; }

    // Declares the command named by `words` (e.g. {"snapshot", "write"}),
    // making the groups on its way as needed; its options and operands are
    // declared on the returned level. Operands beyond the declared ones
    // are a usage error.
    CLI::App& command(const std::vector<std::string>& words, std::string summary, Handler handler);

    // A command's level, and the settings its options and operands fill.
    template <class Settings>
    struct Declaration {
        CLI::App& command;
        Settings& settings;
    };

    // Declares a command with settings, starting as `initial`: the program
    // keeps them until the run and hands them to `handler`.
    template <class Settings>
    Declaration<Settings> command(const std::vector<std::string>& words, std::string summary, Settings initial,
        std::type_identity_t<std::function<ExitStatus(const Settings&)>> handler)
    {
        auto settings = std::make_shared<Settings>(std::move(initial));
        auto& level = command(words, std::move(summary), [settings, handler = std::move(handler)] { return handler(*settings); });
        return { level, *settings };
    }

    // Parses `arguments` (without the program's name) and runs the command
    // they name. Returns the process's exit status.
    int run(std::span<const std::string> arguments, const FailureMapping& failureOf = {});

private:
    // What each level of the program holds beyond CLI11's declarations.
    struct Level {
        CLI::App* app;
        std::optional<Handler> handler; // nothing for a group of commands
        std::vector<std::string> extraOperands; // operands nothing was declared for
    };

    CLI::App& subcommand(CLI::App& parent, const std::string& word, const std::string& summary);
    Level& level(const CLI::App& app) { return m_levels.at(&app); }
    void collectUndeclaredOperands();
    int runParsed();
    int fail(ExitStatus status, const std::string& message) const;

    std::string m_name;
    CLI::App m_application;
    std::map<const CLI::App*, Level> m_levels;
};

}
