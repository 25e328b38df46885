// LayoutPass: what one layout of a view tree works out once and is asked
// for again. A parent may ask a child its size several times with
// different proposals, so a text deep in a tree is asked the same question
// many times over, and a stack asked again would ask its whole subtree
// again, at every level of nesting. Layout is a pure function of the view,
// the proposal and the environment, so an answer stays right for the whole
// pass; a pass serves one layout and is then dropped with what it kept.
#pragma once

#include "Platform/UI/Environment.hpp"
#include "Platform/UI/ProposedSize.hpp"
#include "Platform/UI/StackArrangement.hpp"
#include "Platform/UI/TextMeasurer.hpp"

#include <compare>
#include <cstdint>
#include <map>

namespace UI {

class LayoutPass {
public:
    TextMeasurer& textMeasurer() { return m_textMeasurer; }

    // The arrangement the stack numbered `stack` made for `proposal` in
    // `environment` during this pass, or nothing. Stacks are numbered
    // rather than known by address: a view built during the pass (a
    // geometry reader's content) may come to sit where a dropped one sat,
    // and must not be taken for it.
    const StackArrangement* stackArrangement(
        std::uint64_t stack, const ProposedSize& proposal, const Environment& environment) const;

    // Keeps `arrangement` as the answer to that question; the reference
    // stays valid for the whole pass.
    const StackArrangement& rememberStackArrangement(
        std::uint64_t stack, const ProposedSize& proposal, const Environment& environment, StackArrangement arrangement);

private:
    // The environment is not part of the key: environments can only be
    // compared for equality, so the few answers filed under one stack and
    // proposal are told apart by theirs.
    struct StackQuestion {
        std::uint64_t stack;
        ProposedSize proposal;
        friend auto operator<=>(const StackQuestion&, const StackQuestion&) = default;
    };
    struct StackAnswer {
        Environment environment;
        StackArrangement arrangement;
    };

    TextMeasurer m_textMeasurer;
    // A multimap keeps each answer in place while others are added.
    std::multimap<StackQuestion, StackAnswer> m_stackArrangements;
};

}
