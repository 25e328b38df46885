#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"

const TavvoProviderAppearance& TavvoProviderAppearance::codex()
{
    static TavvoProviderAppearance const instance { "Codex", "Codex", NovikPalette::codex(), "terminal" };
    return instance;
}

const TavvoProviderAppearance& TavvoProviderAppearance::claude()
{
    static TavvoProviderAppearance const instance { "Claude Code", "Claude", NovikPalette::claude(), "text.bubble" };
    return instance;
}

const TavvoProviderAppearance& appearance(TavvoWidgetProviderID id)
{
    return id == TavvoWidgetProviderID::claude ? TavvoProviderAppearance::claude() : TavvoProviderAppearance::codex();
}
