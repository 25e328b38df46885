#include "ProblemReport.hpp"

#include <fmt/format.h>

#include <algorithm>

namespace TavvoTools {

void ProblemReport::report(const std::vector<std::string>& problems)
{
    for (auto const& problem : problems) {
        if (std::find(m_told.begin(), m_told.end(), problem) == m_told.end())
            fmt::print(stderr, "tavvo: {}\n", problem);
    }
    m_told = problems;
}

}
