// Problems of the passes of a long-running command, on standard error.
#pragma once

#include <string>
#include <vector>

namespace TavvoTools {

// Each problem is told when it first appears, one line "tavvo: …": a
// folder that stays unreadable is not reported at every pass, and told
// again if it comes back after a pass without it.
class ProblemReport {
public:
    void report(const std::vector<std::string>& problems);

private:
    std::vector<std::string> m_told;
};

}
