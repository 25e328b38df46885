#include "Platform/Foundation/UserDefaults.hpp"

#include "TestSupport/FileMode.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Foundation::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    fs::path suiteFile(const std::string& suite) const { return m_folder.path() / "defaults" / (suite + ".json"); }
    void writeSuiteFile(const std::string& suite, const std::string& contents) const
    {
        fs::create_directories(suiteFile(suite).parent_path());
        std::ofstream(suiteFile(suite), std::ios::binary) << contents;
    }
    std::string suiteFileContents(const std::string& suite) const
    {
        std::ostringstream contents;
        contents << std::ifstream(suiteFile(suite), std::ios::binary).rdbuf();
        return contents.str();
    }
    UserDefaults suite(const std::string& name) const
    {
        auto defaults = UserDefaults::withSuiteName(name);
        EXPECT_TRUE(defaults) << name;
        return *defaults;
    }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment { { "XDG_CONFIG_HOME", m_folder.path().string() } };
};

}

TEST_F(UserDefaultsTest, StoresTextsAndKeepsWhatElseTheFileHolds)
{
    writeSuiteFile("group.test", R"({"count": 12345678901234567, "ratio": 0.1, "list": [1, {"a": null}], "name": "old"})");
    auto const writer = suite("group.test");
    auto const reader = suite("group.test");

    EXPECT_EQ(reader.stringForKey("name"), "old");
    EXPECT_FALSE(reader.stringForKey("count")) << "only texts are read as texts";
    EXPECT_FALSE(reader.stringForKey("absent"));

    writer.setObject("новое", "name");
    writer.setObject("", "empty");
    EXPECT_EQ(reader.stringForKey("name"), "новое") << "every read sees the file as it is now";
    EXPECT_EQ(reader.stringForKey("empty"), "");

    writer.removeObjectForKey("name");
    writer.removeObjectForKey("never there");
    EXPECT_FALSE(reader.stringForKey("name"));

    rapidjson::Document document;
    document.Parse(suiteFileContents("group.test").c_str());
    ASSERT_TRUE(document.IsObject());
    EXPECT_EQ(document["count"].GetInt64(), 12345678901234567);
    EXPECT_EQ(document["ratio"].GetDouble(), 0.1);
    EXPECT_EQ(document["list"].Size(), 2u);
    EXPECT_EQ(modeOf(suiteFile("group.test")), 0600u);
}

TEST_F(UserDefaultsTest, AMalformedFileReadsAsEmptyAndTheNextWriteReplacesIt)
{
    for (std::string const contents : { "{broken", "[1, 2]", "\"text\"", "", "{\"a\": \"\xff\"}", "{\"a\": \"b\"} trailing" }) {
        writeSuiteFile("group.test", contents);
        auto const defaults = suite("group.test");
        EXPECT_FALSE(defaults.stringForKey("a")) << contents;
        defaults.setObject("value", "key");
        EXPECT_EQ(defaults.stringForKey("key"), "value") << contents;
    }
}

TEST_F(UserDefaultsTest, AnIllFormedTextIsRefusedAndTheFileKept)
{
    auto const defaults = suite("group.test");
    defaults.setObject("kept", "key");
    try {
        defaults.setObject("\xc3\x28", "key");
        FAIL() << "expected an error";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::illegal_byte_sequence);
    }
    EXPECT_EQ(defaults.stringForKey("key"), "kept");
}

TEST_F(UserDefaultsTest, OnlyANameThatIsOneFileNamesASuite)
{
    for (std::string const& name : std::vector<std::string> { "", ".", "..", "a/b", "../x", std::string("a\0b", 3) })
        EXPECT_FALSE(UserDefaults::withSuiteName(name)) << name;
    EXPECT_TRUE(UserDefaults::withSuiteName(".hidden"));
    EXPECT_TRUE(UserDefaults::withSuiteName("group.dev.example"));
}

TEST_F(UserDefaultsTest, WithoutAConfigFolderSuitesDoNotOpenAndTheStandardOneDoesNothing)
{
    ScopedEnvironment const noHome { { "XDG_CONFIG_HOME", "relative/config" }, { "HOME", std::nullopt } };
    EXPECT_FALSE(UserDefaults::withSuiteName("group.test"));
    auto const standard = UserDefaults::standardUserDefaults();
    EXPECT_NO_THROW(standard.setObject("value", "key"));
    EXPECT_NO_THROW(standard.removeObjectForKey("key"));
    EXPECT_FALSE(standard.stringForKey("key"));
}

TEST_F(UserDefaultsTest, TwoProcessesWritingAtOnceKeepEachOthersKeys)
{
    constexpr int keysPerWriter = 200;
    std::vector<pid_t> writers;
    for (char const prefix : { 'a', 'b' }) {
        pid_t const pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child must not return into the test framework.
            int status = 0;
            try {
                auto const defaults = UserDefaults::withSuiteName("group.shared");
                for (int index = 0; index < keysPerWriter && defaults; ++index)
                    defaults->setObject(std::to_string(index), prefix + std::to_string(index));
                status = defaults ? 0 : 2;
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        writers.push_back(pid);
    }
    for (pid_t const pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    auto const defaults = suite("group.shared");
    int present = 0;
    for (char const prefix : { 'a', 'b' }) {
        for (int index = 0; index < keysPerWriter; ++index)
            present += defaults.stringForKey(prefix + std::to_string(index)) == std::to_string(index);
    }
    EXPECT_EQ(present, 2 * keysPerWriter);
}
