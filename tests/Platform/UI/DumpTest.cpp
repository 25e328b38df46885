#include "Platform/UI/Dump.hpp"

#include "Platform/UI/Layout.hpp"
#include "UITestSupport.hpp"

#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <limits>

using namespace UI;

namespace {

rapidjson::Document parsed(const std::string& json)
{
    rapidjson::Document document;
    document.Parse(json.c_str(), json.size());
    EXPECT_FALSE(document.HasParseError()) << json;
    return document;
}

View badge()
{
    return text("Stale")
        .font(TextStyle::caption2)
        .fontWeight(FontWeight::semibold)
        .foregroundColor(Color::dynamic(Color::rgb(0x8A5C00), Color::rgb(0xF4FC40)))
        .padding(Edges::horizontal, 6)
        .background(capsule().fill(Color::rgb(0x8A5C00).opacity(0.14)));
}

}

TEST(Dump, EveryTextIsShownWithInvalidUTF8AsReplacementCharacters)
{
    std::string const withNul("a\0b", 3);
    // Texts drawn fully faded are still in the dump.
    auto const tree = layout(vstack(HorizontalAlignment::leading, 0, { text("x\xFFy"), text(withNul).opacity(0) }), { 300, 300 });
    EXPECT_EQ(textDump(tree), "x\uFFFDy\na\uFFFDb\n");
    EXPECT_FALSE(parsed(treeDump(tree)).HasParseError());
}

TEST(Dump, TreeHasKindsFramesAndResolvedColors)
{
    auto const tree = layout(vstack(HorizontalAlignment::leading, 8, { badge(), box(30, 10).opacity(0.6) }).padding(16),
        { 200, 100 });
    auto const light = parsed(treeDump(tree, Appearance::light));
    auto const dark = parsed(treeDump(tree, Appearance::dark));

    EXPECT_STREQ(light["kind"].GetString(), "padding");
    EXPECT_EQ(light["frame"]["x"].GetDouble(), 0);
    EXPECT_NEAR(light["frame"]["width"].GetDouble(), tree.frame.size.width, 0.0005);
    EXPECT_FALSE(light.HasMember("opacity"));

    auto const& stack = light["children"][0];
    EXPECT_STREQ(stack["kind"].GetString(), "vstack");
    EXPECT_EQ(stack["frame"]["x"].GetDouble(), 16);
    EXPECT_EQ(stack["frame"]["y"].GetDouble(), 16);

    // background → [padding → text, capsule]
    auto const& background = stack["children"][0];
    EXPECT_STREQ(background["kind"].GetString(), "background");
    auto const& text = background["children"][0]["children"][0]["text"];
    EXPECT_STREQ(text["string"].GetString(), "Stale");
    EXPECT_STREQ(text["style"].GetString(), "caption2");
    EXPECT_STREQ(text["weight"].GetString(), "semibold");
    EXPECT_STREQ(text["design"].GetString(), "standard");
    EXPECT_EQ(text["pointSize"].GetDouble(), 10);
    EXPECT_TRUE(text["lineLimit"].IsNull());
    EXPECT_FALSE(text["truncated"].GetBool());
    EXPECT_STREQ(text["color"].GetString(), "#8A5C00FF");
    EXPECT_STREQ(dark["children"][0]["children"][0]["children"][0]["children"][0]["text"]["color"].GetString(), "#F4FC40FF");

    auto const& capsuleShape = background["children"][1]["shape"];
    EXPECT_STREQ(capsuleShape["path"].GetString(), "capsule");
    EXPECT_STREQ(capsuleShape["fill"].GetString(), "#8A5C0024");
    EXPECT_FALSE(capsuleShape.HasMember("trimFrom"));

    auto const& faded = stack["children"][1];
    EXPECT_STREQ(faded["kind"].GetString(), "frame");
    EXPECT_DOUBLE_EQ(faded["opacity"].GetDouble(), 0.6);
}

TEST(Dump, NumbersThatAreNotFiniteAreWrittenAsNull)
{
    // Layout never makes such a tree, but one built by hand still dumps as
    // valid JSON.
    LaidOutNode node;
    node.frame.size.width = std::numeric_limits<double>::quiet_NaN();
    node.rotation = std::numeric_limits<double>::infinity();
    auto const dump = parsed(treeDump(node));
    EXPECT_TRUE(dump["frame"]["width"].IsNull());
    EXPECT_TRUE(dump["rotation"].IsNull());
    EXPECT_STREQ(dump["kind"].GetString(), "empty");
}
