// SourceState: whether a service's local folder is there to be read.
#pragma once

namespace TavvoHost {

enum class SourceState {
    missing, // the service's folder does not exist: the service is not installed
    present, // the folder exists and could be read (it may hold nothing yet)
    unreadable, // the folder, or what it must hold, exists but cannot be read
};

}
