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
    // padding → vstack → [background → [padding → text, capsule], frame → capsule]
    EXPECT_EQ(compact(parsed(treeDump(tree, Appearance::light))),
        R"({"kind":"padding","frame":{"x":0.0,"y":0.0,"width":72.94,"height":61.641},)"
        R"("children":[{"kind":"vstack","frame":{"x":16.0,"y":16.0,"width":40.94,"height":29.641},)"
        R"("children":[{"kind":"background","frame":{"x":16.0,"y":16.0,"width":40.94,"height":11.641},)"
        R"("children":[{"kind":"padding","frame":{"x":16.0,"y":16.0,"width":40.94,"height":11.641},)"
        R"("children":[{"kind":"text","frame":{"x":22.0,"y":16.0,"width":28.94,"height":11.641},)"
        R"("text":{"string":"Stale","style":"caption2","weight":"semibold","design":"standard",)"
        R"("pointSize":10.0,"monospacedDigit":false,"kerning":0.0,"lineLimit":null,"color":"#8A5C00FF",)"
        R"("truncated":false}}]},{"kind":"shape","frame":{"x":16.0,"y":16.0,"width":40.94,"height":11.641},)"
        R"("shape":{"path":"capsule","fill":"#8A5C0024"}}]},{"kind":"frame","frame":{"x":16.0,"y":35.641,)"
        R"("width":30.0,"height":10.0},"opacity":0.6,"children":[{"kind":"shape","frame":{"x":16.0,"y":35.641,)"
        R"("width":30.0,"height":10.0},"shape":{"path":"capsule","fill":"#000000D9"}}]}]}]})");
    auto const dark = parsed(treeDump(tree, Appearance::dark));
    EXPECT_STREQ(dark["children"][0]["children"][0]["children"][0]["children"][0]["text"]["color"].GetString(), "#F4FC40FF");
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
