// SourceState: whether a service's local folder is there to be read.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

namespace TavvoHost {

enum class SourceState {
    missing, // the service's folder does not exist: the service is not installed
    present, // the folder exists and could be read (it may hold nothing yet)
    unreadable, // the folder, or what it must hold, exists but cannot be read
};

}

// As observations travel between machines.
template <>
struct Foundation::RawValues<TavvoHost::SourceState> {
    static constexpr std::array<std::string_view, 3> texts { "missing", "present", "unreadable" };
};
