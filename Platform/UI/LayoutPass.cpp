#include "Platform/UI/LayoutPass.hpp"

#include <utility>

namespace UI {

const StackArrangement* LayoutPass::stackArrangement(
    std::uint64_t stack, const ProposedSize& proposal, const Environment& environment) const
{
    auto const [first, last] = m_stackArrangements.equal_range({ stack, proposal });
    for (auto answer = first; answer != last; ++answer) {
        if (answer->second.environment == environment)
            return &answer->second.arrangement;
    }
    return nullptr;
}

const StackArrangement& LayoutPass::rememberStackArrangement(
    std::uint64_t stack, const ProposedSize& proposal, const Environment& environment, StackArrangement arrangement)
{
    auto const answer = m_stackArrangements.emplace(
        StackQuestion { stack, proposal }, StackAnswer { environment, std::move(arrangement) });
    return answer->second.arrangement;
}

}
