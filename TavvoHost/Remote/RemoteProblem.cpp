#include "TavvoHost/Remote/RemoteProblem.hpp"

#include "TavvoHost/Remote/MachineObservations.hpp"

#include <fmt/format.h>

namespace TavvoHost {

std::string remoteProblem(const std::string& host, const std::string& reason)
{
    return fmt::format("remote {}: {}", host, reason);
}

std::string refusedDocumentReason(const std::string& reason)
{
    return fmt::format("refused its document: {}", reason);
}

std::string overlongLineReason()
{
    return fmt::format("refused a line longer than {} bytes", longestMachineObservationsLine);
}

}
