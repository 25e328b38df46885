// The JSON text an entry writes, for comparing descriptions in tests.
#pragma once

#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/WidgetKit/WidgetConfiguration.hpp"

#include <string>

// An entry as the host keeps it.
inline std::string jsonText(const WidgetKit::HostedEntry& entry)
{
    Foundation::JSONWriter writer;
    entry.writeJSON(writer);
    return std::string(writer.text());
}

// An entry of a widget's own type (its writeJSON found by argument-dependent
// lookup).
template <WidgetKit::TimelineEntry Entry>
std::string jsonText(const Entry& entry)
{
    Foundation::JSONWriter writer;
    writeJSON(writer, entry);
    return std::string(writer.text());
}
