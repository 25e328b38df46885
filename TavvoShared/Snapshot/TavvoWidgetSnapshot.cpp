#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <algorithm>

std::optional<TavvoWidgetProviderSnapshot> TavvoWidgetSnapshot::provider(TavvoWidgetProviderID id) const
{
    auto const found = std::find_if(providers.begin(), providers.end(),
        [id](const TavvoWidgetProviderSnapshot& record) { return record.id == id; });
    if (found == providers.end())
        return std::nullopt;
    return *found;
}
