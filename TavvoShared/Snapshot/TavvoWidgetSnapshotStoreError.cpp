#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include "TavvoShared/Localization/L10n.hpp"

TavvoWidgetSnapshotStoreError::TavvoWidgetSnapshotStoreError(Code code, std::string appGroupIdentifier)
    : m_code(code)
    , m_appGroupIdentifier(std::move(appGroupIdentifier))
{
    m_description = errorDescription();
}

TavvoWidgetSnapshotStoreError TavvoWidgetSnapshotStoreError::missingAppGroupContainer(std::string appGroupIdentifier)
{
    return TavvoWidgetSnapshotStoreError(Code::missingAppGroupContainer, std::move(appGroupIdentifier));
}

std::string TavvoWidgetSnapshotStoreError::errorDescription() const
{
    return L10n::tr("widget.app_group_unavailable", { m_appGroupIdentifier });
}
