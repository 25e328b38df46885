#include "Platform/Foundation/Bundle.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using Foundation::Bundle;

TEST(Bundle, ReadsItsInformationDictionaryAndStringTable)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "Example.bundle";
    fs::create_directories(path / "fr.lproj");
    std::ofstream(path / "Info.json") << R"({"CFBundleIdentifier":"app.example","Text":"t","Count":3,"Ratio":0.5,"Flag":true,"List":[1],"Null":null})";
    std::ofstream(path / "fr.lproj" / "Localizable.json") << R"({"hello":"bonjour","number":5})";

    auto const bundle = Bundle::withPath(path);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->bundleIdentifier(), "app.example");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("Text"), Foundation::PropertyListValue(std::string("t")));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("Count"), Foundation::PropertyListValue(std::int64_t(3)));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("Ratio"), Foundation::PropertyListValue(0.5));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("Flag"), Foundation::PropertyListValue(true));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("List"), Foundation::PropertyListValue(Foundation::OtherPropertyListValue {}));
    EXPECT_FALSE(bundle->objectForInfoDictionaryKey("Null"));
    EXPECT_FALSE(bundle->objectForInfoDictionaryKey("text")) << "keys are case-sensitive";

    auto const french = bundle->pathForResource("fr", "lproj");
    ASSERT_TRUE(french);
    EXPECT_FALSE(bundle->pathForResource("de", "lproj"));
    EXPECT_FALSE(bundle->pathForResource("../Example", "bundle"));
    auto const table = Bundle::withPath(*french);
    EXPECT_EQ(table->localizedStringForKey("hello"), "bonjour");
    EXPECT_EQ(table->localizedStringForKey("number"), "number") << "only texts are translations";
    EXPECT_EQ(table->localizedStringForKey("missing"), "missing");
    EXPECT_EQ(bundle->localizedStringForKey("hello"), "hello") << "the bundle itself has no table";

    EXPECT_FALSE(Bundle::withPath(folder.path() / "absent"));
    std::ofstream(path / "Info.json") << "{broken";
    EXPECT_EQ(bundle->bundleIdentifier(), "Example") << "falls back to the folder name";
}

TEST(Bundle, TheProgramsBundleSitsInTheSharedDataFolder)
{
    // The test program's bundle folder need not exist; its place is what counts.
    auto const main = Bundle::mainBundle();
    EXPECT_EQ(main.bundlePath().filename(), "TavvoTests.bundle");
    EXPECT_EQ(main.bundlePath().parent_path().filename(), "tavvo");
    static int const inThisProgram = 0;
    EXPECT_EQ(Bundle::bundleContaining(&inThisProgram).bundlePath(), main.bundlePath());
}
