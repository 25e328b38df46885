#include "Platform/CommandLine/OptionValidators.hpp"
#include "Platform/CommandLine/Program.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using CommandLine::ExitStatus;
using CommandLine::Program;

enum class Shade { light, dark };

}

template <>
struct Foundation::RawValues<Shade> {
    static constexpr std::array<std::string_view, 2> texts { "light", "dark" };
};

namespace {

// A small program: "tool [--base-dir DIR] snapshot write [FILE]",
// "tool snapshot read [--shade S] [--preview]", "tool fail"; it notes what
// ran and with which values.
struct Tool {
    std::string baseDirectory;
    std::string file; // as the write command was given it
    Shade shade = Shade::light;
    bool preview = false;
    std::string ran;
    Program program { "tool", "tool: does things.", "Exit status: 0 done, 2 usage error." };

    Tool()
    {
        program.global().add_option("--base-dir", baseDirectory, "the folder")->type_name("DIR");
        // The settings the handler is given are those the line filled.
        struct WriteSettings {
            std::string file = "-";
        };
        auto [write, settings] = program.command({ "snapshot", "write" }, "Write it.", WriteSettings {}, [this](const WriteSettings& chosen) {
            file = chosen.file;
            return run("write");
        });
        write.add_option("FILE", settings.file, "the document")->type_name("");
        auto& read = program.command({ "snapshot", "read" }, "Read it.", [this] { return run("read"); });
        read.add_option("--shade", shade, "the shade")->transform(CommandLine::rawValueChoice<Shade>())->type_name("S");
        read.add_flag("--preview", preview, "a preview");
        program.command({ "fail" }, "Fail.", []() -> ExitStatus { throw std::runtime_error("broke"); });
    }

    ExitStatus run(std::string command)
    {
        ran = std::move(command);
        return ExitStatus::success;
    }

    struct Result {
        int status;
        std::string output;
        std::string error;
    };

    Result operator()(std::vector<std::string> const& arguments)
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int const status = program.run(arguments);
        auto output = testing::internal::GetCapturedStdout();
        return { status, std::move(output), testing::internal::GetCapturedStderr() };
    }
};

}

TEST(CommandLineProgram, GlobalOptionsStandBeforeOrAfterTheCommandAndOperandsKeepTheirDashes)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string ran, baseDirectory, file;
    };
    for (auto const& line : std::vector<Case> {
             { { "snapshot", "--base-dir", "/d", "write" }, "write", "/d", "-" },
             { { "snapshot", "write", "--", "--base-dir" }, "write", "", "--base-dir" },
         }) {
        Tool tool;
        auto const result = tool(line.arguments);
        EXPECT_EQ(result.status, 0) << line.arguments.back() << result.error;
        EXPECT_EQ(tool.ran, line.ran);
        EXPECT_EQ(tool.baseDirectory, line.baseDirectory);
        EXPECT_EQ(tool.file, line.file);
    }
}

TEST(CommandLineProgram, MistakesAreOneLineUsageErrors)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string error; // empty: CLI11's own wording, checked for shape only
    };
    for (auto const& line : std::vector<Case> {
             { { "bogus" }, "tool: unknown command 'bogus' (see 'tool --help')\n" },
             { { "snapshot", "bogus" }, "tool: unknown command 'snapshot bogus' (see 'tool --help')\n" },
             { { "snapshot", "read", "--colour", "red" }, "tool: unknown option --colour (see 'tool --help')\n" },
             { { "snapshot", "write", "a", "b" }, "tool: unexpected argument 'b' (see 'tool --help')\n" },
             { { "snapshot", "read", "--shade", "blue" },
                 "tool: --shade: unknown value 'blue' (expected light, dark) (see 'tool --help')\n" },
             { { "--base-dir", "a", "snapshot", "read", "--base-dir", "b" }, "" },
         }) {
        Tool tool;
        auto const result = tool(line.arguments);
        EXPECT_EQ(result.status, 2) << line.arguments.back();
        EXPECT_EQ(tool.ran, "") << line.arguments.back();
        if (!line.error.empty()) {
            EXPECT_EQ(result.error, line.error);
        }
        EXPECT_TRUE(result.error.starts_with("tool: ") && result.error.find('\n') == result.error.size() - 1) << result.error;
    }
}

TEST(CommandLineProgram, HelpAtEveryLevelListsTheCommandsBeneathIt)
{
    struct Case {
        std::vector<std::string> arguments;
        bool listsWrite, listsRead;
    };
    for (auto const& line : std::vector<Case> {
             { {}, true, true },
             { { "snapshot", "-h" }, true, true },
             { { "snapshot", "read", "--help" }, false, true },
             { { "--base-dir", "x", "snapshot", "write", "--help" }, true, false },
         }) {
        Tool tool;
        auto const result = tool(line.arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.error, "");
        EXPECT_EQ(tool.ran, "");
        EXPECT_EQ(result.output.find("tool snapshot write [FILE]") != std::string::npos, line.listsWrite) << result.output;
        EXPECT_EQ(result.output.find("tool snapshot read [--shade S] [--preview]") != std::string::npos, line.listsRead) << result.output;
        EXPECT_NE(result.output.find("--base-dir DIR"), std::string::npos) << "global options on every page";
        EXPECT_TRUE(result.output.ends_with("Exit status: 0 done, 2 usage error.\n"));
    }
}

// The programs map their own errors to statuses; any other is a plain failure.
TEST(CommandLineProgram, AnUnexpectedErrorEndsWithStatusOne)
{
    Tool tool;
    auto const result = tool({ "fail" });
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.error, "tool: broke\n");
}
