#include "Platform/UI/Dump.hpp"

#include "Platform/UI/Layout.hpp"
#include "UITestSupport.hpp"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

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

// A part of the dump as one line of JSON, to compare whole.
std::string compact(const rapidjson::Value& value)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return buffer.GetString();
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
    EXPECT_EQ(compact(text), R"({"string":"Stale","style":"caption2","weight":"semibold","design":"standard","pointSize":10.0,)"
                             R"("monospacedDigit":false,"kerning":0.0,"lineLimit":null,"color":"#8A5C00FF","truncated":false})");
    EXPECT_STREQ(dark["children"][0]["children"][0]["children"][0]["children"][0]["text"]["color"].GetString(), "#F4FC40FF");

    EXPECT_EQ(compact(background["children"][1]["shape"]), R"({"path":"capsule","fill":"#8A5C0024"})");

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
