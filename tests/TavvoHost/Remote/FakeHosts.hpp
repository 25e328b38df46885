// Remote machines played by shell scripts, reached through the stand-in
// ssh beside this file: no machine is contacted.
#pragma once

#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"
#include "TavvoHost/Remote/MachineObservations.hpp"
#include "TavvoHost/Remote/SecureShellCommand.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

class FakeHosts {
public:
    // `host` runs `script` under sh each time it is reached.
    void add(const std::string& host, const std::string& script) { std::ofstream(m_folder.path() / host) << script; }

    // A file in the hosts' folder, for their scripts to read ("cat NAME").
    void write(const std::string& name, const std::string& text) { std::ofstream(m_folder.path() / name) << text << '\n'; }

    // How many times `host` was reached.
    std::size_t starts(const std::string& host) const
    {
        std::ifstream file(m_folder.path() / (host + ".starts"));
        return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>(), '\n'));
    }

    TavvoHost::RemoteCommand command() const { return { TAVVO_FAKE_SSH, "tavvo" }; }

    const std::filesystem::path& folder() const { return m_folder.path(); }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment { { "TAVVO_FAKE_SSH_HOSTS", m_folder.path().string() } };
};

// What a machine that saw the Codex weekly window `used` % used at
// `sentAt` sends.
inline TavvoHost::MachineObservations codexWeeklyObservations(Foundation::Date sentAt, double used)
{
    TavvoHost::UsageWindow const weekly { TavvoHost::weeklyWindow, used, at("2026-06-07T00:00:00Z") };
    TavvoHost::CodexObservation const observation { sentAt, "codex", std::nullopt, std::nullopt, { weekly } };
    return { sentAt, { TavvoHost::SourceState::present, { observation }, std::nullopt, std::nullopt }, {} };
}
