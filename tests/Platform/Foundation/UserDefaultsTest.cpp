#include "Platform/Foundation/UserDefaults.hpp"

#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/SystemError.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <fstream>
#include <sstream>


namespace fs = std::filesystem;
using Foundation::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    fs::path file() const { return m_folder.path() / "defaults" / "group.test.json"; }
    void writeFile(const std::string& contents) const
    {
        fs::create_directories(file().parent_path());
        std::ofstream(file(), std::ios::binary) << contents;
    }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment { { "XDG_CONFIG_HOME", m_folder.path().string() } };
};

}

TEST_F(UserDefaultsTest, StoresTextsAndKeepsWhatElseTheFileHolds)
{
    writeFile(R"({"count": 12345678901234567, "list": [1, {"a": null}], "name": "old"})");
    auto const writer = *UserDefaults::withSuiteName("group.test");
    auto const reader = *UserDefaults::withSuiteName("group.test");
    EXPECT_FALSE(reader.stringForKey("count")) << "only texts are read as texts";

    writer.setObject("новое", "name");
    writer.setObject("", "empty");
    EXPECT_EQ(reader.stringForKey("name"), "новое") << "every read sees the file as it is now";
    EXPECT_EQ(reader.stringForKey("empty"), "");
    writer.removeObjectForKey("name");
    EXPECT_FALSE(reader.stringForKey("name"));

    // A text that is not UTF-8 would make the whole file unreadable.
    expectSystemError([&] { writer.setObject("\xc3\x28", "empty"); }, EILSEQ,
        "cannot encode defaults " + file().string() + ": Invalid or incomplete multibyte or wide character");
    EXPECT_EQ(reader.stringForKey("empty"), "");

    std::ostringstream contents;
    contents << std::ifstream(file()).rdbuf();
    rapidjson::Document document;
    document.Parse(contents.str().c_str());
    ASSERT_TRUE(document.IsObject()) << contents.str();
    EXPECT_EQ(document["count"].GetInt64(), 12345678901234567);
    EXPECT_TRUE(document["list"][1]["a"].IsNull());
}

TEST_F(UserDefaultsTest, AMalformedFileReadsAsEmptyAndTheNextWriteReplacesIt)
{
    for (std::string const contents : { "{broken", "[1, 2]", "", "{\"a\": \"\xff\"}", "{\"a\": \"b\"} trailing" }) {
        writeFile(contents);
        auto const defaults = *UserDefaults::withSuiteName("group.test");
        EXPECT_FALSE(defaults.stringForKey("a")) << contents;
        defaults.setObject("value", "key");
        EXPECT_EQ(defaults.stringForKey("key"), "value") << contents;
    }
}

TEST_F(UserDefaultsTest, ASuiteNeedsAFileNameAndAConfigFolder)
{
    for (auto const& name : std::vector<std::string> { "", ".", "..", "a/b", std::string("a\0b", 3) })
        EXPECT_FALSE(UserDefaults::withSuiteName(name)) << name;
    EXPECT_TRUE(UserDefaults::withSuiteName(".hidden"));

    ScopedEnvironment const noHome { { "XDG_CONFIG_HOME", "relative/config" }, { "HOME", std::nullopt } };
    EXPECT_FALSE(UserDefaults::withSuiteName("group.test"));
    auto const standard = UserDefaults::standardUserDefaults();
    EXPECT_NO_THROW(standard.setObject("value", "key")) << "the standard store stays usable";
    EXPECT_FALSE(standard.stringForKey("key"));
}
