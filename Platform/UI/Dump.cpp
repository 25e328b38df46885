#include "Platform/UI/Dump.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/Foundation/RawValue.hpp"
#include "Platform/UI/AccessibilityElement.hpp"

#include <fmt/format.h>

#include <cmath>
#include <cstdio>
#include <string_view>

namespace UI {

namespace {

using Writer = Foundation::JSONWriter;

void writeNumber(Writer& writer, double value)
{
    if (!std::isfinite(value)) {
        writer.Null();
        return;
    }
    // Rounded so that the dump does not show the last bits of the
    // arithmetic, and -0 is written as 0. A value too large to scale has no
    // fraction to round.
    double rounded = std::round(value * 1000) / 1000;
    if (!std::isfinite(rounded))
        rounded = value;
    writer.Double(rounded == 0 ? 0.0 : rounded);
}

std::string colorText(const Color& color, Appearance appearance)
{
    auto const value = color.resolved(appearance);
    auto const byte = [](double component) { return static_cast<unsigned>(std::lround(component * 255)); };
    char text[10];
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", byte(value.red), byte(value.green), byte(value.blue),
        byte(value.alpha));
    return text;
}

void writeUnitPoint(Writer& writer, const UnitPoint& point)
{
    writer.StartArray();
    writeNumber(writer, point.x);
    writeNumber(writer, point.y);
    writer.EndArray();
}

void writePaint(Writer& writer, const Paint& paint, Appearance appearance)
{
    if (auto const* color = std::get_if<Color>(&paint)) {
        Foundation::writeJSONString(writer, colorText(*color, appearance));
        return;
    }
    auto const& gradient = std::get<LinearGradient>(paint);
    writer.StartObject();
    writer.Key("linearGradient");
    writer.StartObject();
    writer.Key("stops");
    writer.StartArray();
    for (auto const& stop : gradient.stops) {
        writer.StartObject();
        writer.Key("color");
        Foundation::writeJSONString(writer, colorText(stop.color, appearance));
        writer.Key("location");
        writeNumber(writer, stop.location);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("startPoint");
    writeUnitPoint(writer, gradient.startPoint);
    writer.Key("endPoint");
    writeUnitPoint(writer, gradient.endPoint);
    writer.EndObject();
    writer.EndObject();
}

void writeText(Writer& writer, const LaidOutText& text, Appearance appearance)
{
    auto const& setting = text.setting;
    writer.StartObject();
    writer.Key("string");
    Foundation::writeJSONString(writer, text.string);
    writer.Key("style");
    Foundation::writeJSONString(writer, Foundation::rawValue(setting.style));
    writer.Key("weight");
    Foundation::writeJSONString(writer, Foundation::rawValue(setting.weight));
    writer.Key("design");
    Foundation::writeJSONString(writer, Foundation::rawValue(setting.design));
    writer.Key("pointSize");
    writeNumber(writer, setting.pointSize);
    writer.Key("monospacedDigit");
    writer.Bool(setting.monospacedDigit);
    writer.Key("kerning");
    writeNumber(writer, setting.kerning);
    writer.Key("lineLimit");
    if (setting.lineLimit)
        writer.Int(*setting.lineLimit);
    else
        writer.Null();
    writer.Key("color");
    Foundation::writeJSONString(writer, colorText(text.color, appearance));
    writer.Key("truncated");
    writer.Bool(text.truncated);
    writer.EndObject();
}

void writeShape(Writer& writer, const LaidOutShape& shape, Appearance appearance)
{
    writer.StartObject();
    writer.Key("path");
    Foundation::writeJSONString(writer, Foundation::rawValue(shape.path.kind));
    if (shape.path.kind == ShapeKind::circle) {
        writer.Key("trimFrom");
        writeNumber(writer, shape.path.trimFrom);
        writer.Key("trimTo");
        writeNumber(writer, shape.path.trimTo);
    }
    if (shape.path.kind == ShapeKind::roundedRectangle) {
        writer.Key("cornerRadius");
        writeNumber(writer, shape.path.cornerRadius);
    }
    writer.Key(shape.stroke ? "stroke" : "fill");
    writePaint(writer, shape.paint, appearance);
    if (shape.stroke) {
        writer.Key("lineWidth");
        writeNumber(writer, shape.stroke->lineWidth);
        writer.Key("lineCap");
        Foundation::writeJSONString(writer, Foundation::rawValue(shape.stroke->lineCap));
        writer.Key("lineJoin");
        Foundation::writeJSONString(writer, Foundation::rawValue(shape.stroke->lineJoin));
        writer.Key("miterLimit");
        writeNumber(writer, shape.stroke->miterLimit);
    }
    writer.EndObject();
}

void writeAccessibility(Writer& writer, const AccessibilityTraits& traits)
{
    writer.StartObject();
    if (traits.label) {
        writer.Key("label");
        Foundation::writeJSONString(writer, *traits.label);
    }
    if (traits.hidden) {
        writer.Key("hidden");
        writer.Bool(true);
    }
    if (traits.children) {
        writer.Key("children");
        Foundation::writeJSONString(writer, Foundation::rawValue(*traits.children));
    }
    if (traits.gauge) {
        writer.Key("gauge");
        writer.StartObject();
        writer.Key("label");
        Foundation::writeJSONString(writer, traits.gauge->label);
        writer.Key("value");
        writeNumber(writer, traits.gauge->value);
        writer.Key("description");
        Foundation::writeJSONString(writer, traits.gauge->description);
        writer.EndObject();
    }
    writer.EndObject();
}

void writeAnimation(Writer& writer, const AnimationNote& note)
{
    writer.StartObject();
    writer.Key("curve");
    Foundation::writeJSONString(writer, Foundation::rawValue(note.animation.curve));
    writer.Key("duration");
    writeNumber(writer, note.animation.duration);
    writer.Key("value");
    writeNumber(writer, note.value);
    writer.Key("enabled");
    writer.Bool(note.enabled);
    writer.EndObject();
}

void writeNode(Writer& writer, const LaidOutNode& node, Appearance appearance)
{
    writer.StartObject();
    writer.Key("kind");
    Foundation::writeJSONString(writer, Foundation::rawValue(node.kind));
    writer.Key("frame");
    writer.StartObject();
    writer.Key("x");
    writeNumber(writer, node.frame.origin.x);
    writer.Key("y");
    writeNumber(writer, node.frame.origin.y);
    writer.Key("width");
    writeNumber(writer, node.frame.size.width);
    writer.Key("height");
    writeNumber(writer, node.frame.size.height);
    writer.EndObject();
    if (node.opacity != 1) {
        writer.Key("opacity");
        writeNumber(writer, node.opacity);
    }
    if (node.rotation != 0) {
        writer.Key("rotation");
        writeNumber(writer, node.rotation);
    }
    if (auto const* text = std::get_if<LaidOutText>(&node.content)) {
        writer.Key("text");
        writeText(writer, *text, appearance);
    }
    if (auto const* shape = std::get_if<LaidOutShape>(&node.content)) {
        writer.Key("shape");
        writeShape(writer, *shape, appearance);
    }
    if (node.accessibility != AccessibilityTraits {}) {
        writer.Key("accessibility");
        writeAccessibility(writer, node.accessibility);
    }
    if (node.animation) {
        writer.Key("animation");
        writeAnimation(writer, *node.animation);
    }
    if (!node.children.empty()) {
        writer.Key("children");
        writer.StartArray();
        for (auto const& child : node.children)
            writeNode(writer, child, appearance);
        writer.EndArray();
    }
    writer.EndObject();
}

void appendTexts(const LaidOutNode& node, std::string& dump)
{
    if (auto const* text = std::get_if<LaidOutText>(&node.content)) {
        dump += text->string;
        dump += '\n';
    }
    for (auto const& child : node.children)
        appendTexts(child, dump);
}

}

std::string textDump(const LaidOutNode& root)
{
    std::string dump;
    appendTexts(root, dump);
    return dump;
}

std::string accessibilityDump(const LaidOutNode& root)
{
    std::string dump;
    for (auto const& element : accessibilityElements(root)) {
        dump += element.label;
        dump += '\n';
    }
    for (auto const& element : accessibilityGauges(root)) {
        auto const& gauge = element.gauge;
        dump += fmt::format("[gauge {}/100] {}", gauge.value, gauge.label);
        if (!gauge.description.empty())
            dump += ": " + gauge.description;
        dump += '\n';
    }
    return dump;
}

std::string treeDump(const LaidOutNode& root, Appearance appearance)
{
    Writer writer;
    writeNode(writer, root, appearance);
    return std::string(writer.text());
}

}
