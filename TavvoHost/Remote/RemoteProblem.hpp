// The lines that say why a remote machine's observations are missing.
#pragma once

#include <string>

namespace TavvoHost {

// The problem line of `host` for `reason`: "remote HOST: reason".
std::string remoteProblem(const std::string& host, const std::string& reason);

// Why a machine's line was not taken: the decoder's reason, or its length.
std::string refusedDocumentReason(const std::string& reason);
std::string overlongLineReason();

}
