#include "TavvoHost/Remote/RemoteHosts.hpp"

#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

using TavvoHost::RemoteHostList;

TEST(RemoteHosts, RefusesANameThatSshWouldReadAsSomethingElse)
{
    struct Case {
        std::string host;
        bool refused;
    };
    Case const cases[] = {
        { "devbox", false },
        { "me@devbox.example.org", false },
        { "ssh://me@devbox:2222", false },
        { "me@[::1]", false },
        { "mé@машина", false },
        { "", true },
        { "-oProxyCommand=touch /tmp/owned", true },
        { "-", true },
        { "me@dev box", true },
        { "devbox\n-oProxyCommand=x", true },
        { std::string("dev\0box", 7), true },
        { "devbox\t", true },
        { "dev\x7f" "box", true },
        { std::string(2000, 'a'), true },
    };
    for (auto const& testCase : cases)
        EXPECT_EQ(TavvoHost::refusedRemoteHost(testCase.host).has_value(), testCase.refused) << testCase.host;
}

TEST(RemoteHosts, ReadsOneHostALineAndSaysWhichLinesItRefused)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / "remotes";
    std::ofstream(file) << "# my machines\n"
                           "\n"
                           "  devbox  \r\n"
                           "me@build.example.org\n"
                           "    # an indented comment\n"
                           "-oProxyCommand=evil\n"
                           "two words\n"
                           "devbox\n"
                           "ssh://me@cloud:2222";
    auto const list = TavvoHost::readRemotesFile(file);
    EXPECT_EQ(list.hosts, (std::vector<std::string> { "devbox", "me@build.example.org", "ssh://me@cloud:2222" }));
    EXPECT_EQ(list.problems, (std::vector<std::string> {
                                 file.string() + ":6: a host name may not start with \"-\"",
                                 file.string() + ":7: a host name may not hold blanks or control characters",
                             }));
}

TEST(RemoteHosts, AMissingFileListsNothingAndAnUnreadableOneSaysSo)
{
    TemporaryDirectory folder;
    EXPECT_EQ(TavvoHost::readRemotesFile(folder.path() / "remotes"), RemoteHostList {});
    auto const folderInstead = TavvoHost::readRemotesFile(folder.path());
    EXPECT_TRUE(folderInstead.hosts.empty());
    EXPECT_EQ(folderInstead.problems.size(), 1U);
    std::ofstream(folder.path() / "huge") << std::string(100 * 1024, '#');
    EXPECT_EQ(TavvoHost::readRemotesFile(folder.path() / "huge").problems.size(), 1U);
}

TEST(RemoteHosts, TheFileLiesInTheUsersConfigurationFolder)
{
    {
        ScopedEnvironment const environment { { "XDG_CONFIG_HOME", "/config" }, { "HOME", "/home/me" } };
        EXPECT_EQ(TavvoHost::remotesFilePath(), std::filesystem::path("/config/tavvo/remotes"));
    }
    {
        ScopedEnvironment const environment { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", "/home/me" } };
        EXPECT_EQ(TavvoHost::remotesFilePath(), std::filesystem::path("/home/me/.config/tavvo/remotes"));
    }
}

TEST(RemoteHosts, EachHostIsAskedOnceInTheOrderFirstNamed)
{
    EXPECT_EQ(TavvoHost::joinedRemoteHosts({ "b", "a" }, { "a", "c", "b", "c" }), (std::vector<std::string> { "b", "a", "c" }));
}
