#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"

#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/L10n.hpp"

namespace {

// The provider's note, verbatim, when it has one (an empty note is one);
// the text of `fallbackKey` otherwise.
std::string noteOr(const TavvoWidgetProviderSnapshot& provider, std::string_view fallbackKey)
{
    if (provider.note)
        return *provider.note;
    return L10n::tr(fallbackKey);
}

}

std::string statusMessage(const TavvoWidgetProviderSnapshot& provider, Freshness freshness)
{
    if (freshness == Freshness::stale)
        return L10n::tr("widget.status.stale");
    switch (provider.status) {
    case TavvoWidgetProviderStatus::available:
        return L10n::tr("widget.status.no_rows");
    case TavvoWidgetProviderStatus::unavailable:
        return noteOr(provider, "widget.status.not_connected");
    case TavvoWidgetProviderStatus::noData:
        return noteOr(provider, "widget.status.no_data");
    case TavvoWidgetProviderStatus::error:
        break;
    }
    // error, and any stray value a cast might make.
    return noteOr(provider, "widget.status.error");
}

std::string lastKnownMessage(const TavvoWidgetProviderSnapshot& provider)
{
    if (!provider.observedAt)
        return L10n::tr("widget.status.stale");
    return L10n::tr("limits.last_known_at", { L10n::shortTime(*provider.observedAt) });
}
