// TavvoProviderAppearance: how a provider is presented: its titles, its
// palette color and the symbol shown beside it.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderID.hpp"

#include <string>

struct TavvoProviderAppearance {
    std::string displayTitle;
    std::string shortTitle;
    UI::Color color;
    // "terminal" or "text.bubble"; NovikSymbol draws them.
    std::string symbolName;

    friend bool operator==(const TavvoProviderAppearance&, const TavvoProviderAppearance&) = default;

    // "Codex" / "Codex", blue, "terminal".
    static const TavvoProviderAppearance& codex();
    // "Claude Code" / "Claude", orange, "text.bubble".
    static const TavvoProviderAppearance& claude();
};

// The appearance of a provider: claude's for claude, codex's otherwise.
const TavvoProviderAppearance& appearance(TavvoWidgetProviderID id);
