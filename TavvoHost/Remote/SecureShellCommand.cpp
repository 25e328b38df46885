#include "TavvoHost/Remote/SecureShellCommand.hpp"

#include <fmt/format.h>

#include <glib.h>

namespace TavvoHost {

namespace {

// ssh's own failures (cannot resolve, connect or log in) end it with 255;
// a remote shell that finds no such command ends with 127.
constexpr int secureShellFailure = 255;
constexpr int commandNotFound = 127;

// What is repeated of a line another program wrote: enough to say why.
constexpr std::size_t longestQuotedReason = 300;

// `text`, cut short and made safe to print on one line of a terminal: it
// comes from another machine.
std::string printable(std::string_view text)
{
    std::string shown;
    for (char const character : text.substr(0, longestQuotedReason)) {
        auto const byte = static_cast<unsigned char>(character);
        shown += byte < 0x20 || byte == 0x7f ? '?' : character;
    }
    if (!g_utf8_validate(shown.data(), static_cast<gssize>(shown.size()), nullptr)) {
        gchar* const valid = g_utf8_make_valid(shown.data(), static_cast<gssize>(shown.size()));
        shown = valid;
        g_free(valid);
    }
    return shown;
}

}

std::vector<std::string> secureShellArguments(const RemoteCommand& command, const std::string& host, ObservationsMode mode)
{
    std::vector<std::string> arguments { command.sshProgram, "-T", "-o", "BatchMode=yes", "-o",
        fmt::format("ConnectTimeout={}", connectionTimeout.count()), "-o", "ServerAliveInterval=15", "-o",
        "ServerAliveCountMax=3", host, "--", shellQuoted(command.remoteProgram), "observations" };
    if (mode == ObservationsMode::watch)
        arguments.push_back("--watch");
    return arguments;
}

std::string shellQuoted(std::string_view text)
{
    std::string quoted = "'";
    for (char const character : text) {
        if (character == '\'')
            quoted += "'\\''";
        else
            quoted += character;
    }
    return quoted + "'";
}

std::string endedStreamReason(const Foundation::ProcessEnd& end, std::string_view lastErrorLine, const RemoteCommand& command)
{
    if (end.exitStatus == commandNotFound)
        return fmt::format("no {} there (the remote shell found no such command; see --remote-program)", printable(command.remoteProgram));
    // ssh's own message names ssh and says what failed.
    if (end.exitStatus == secureShellFailure && !lastErrorLine.empty())
        return printable(lastErrorLine);
    std::string const said = lastErrorLine.empty() ? std::string() : fmt::format(": {}", printable(lastErrorLine));
    if (end.exitStatus == secureShellFailure)
        return fmt::format("{} failed with status {}", printable(command.sshProgram), secureShellFailure);
    if (end.timedOut || !end.exitStatus)
        return fmt::format("the connection ended{}", said);
    if (*end.exitStatus == 0)
        return fmt::format("the remote {} ended{}", printable(command.remoteProgram), said);
    return fmt::format("the remote {} ended with status {}{}", printable(command.remoteProgram), *end.exitStatus, said);
}

}
