#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include "TavvoShared/AppGroup/AppGroup.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

namespace fs = std::filesystem;

namespace {

constexpr auto folderPermissions = fs::perms::owner_all; // 0700
constexpr auto filePermissions = fs::perms::owner_read | fs::perms::owner_write; // 0600

}

TavvoWidgetSnapshotStore::TavvoWidgetSnapshotStore(std::string appGroupIdentifier, std::optional<fs::path> baseURL,
    std::shared_ptr<Foundation::FileManager> fileManager)
    : m_appGroupIdentifier(std::move(appGroupIdentifier))
    , m_baseURL(std::move(baseURL))
    , m_fileManager(std::move(fileManager))
{
}

std::string TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(const Foundation::Bundle& bundle)
{
    return Tavvo::AppGroup::resolvedIdentifier(bundle);
}

fs::path TavvoWidgetSnapshotStore::snapshotURL() const
{
    fs::path base;
    if (m_baseURL) {
        base = *m_baseURL;
    } else {
        auto const container = m_fileManager->containerURLForSecurityApplicationGroupIdentifier(m_appGroupIdentifier);
        if (!container)
            throw TavvoWidgetSnapshotStoreError::missingAppGroupContainer(m_appGroupIdentifier);
        base = *container;
    }
    return base / TavvoWidgetConstants::snapshotDirectoryName / TavvoWidgetConstants::snapshotFileName;
}

std::optional<TavvoWidgetSnapshot> TavvoWidgetSnapshotStore::readSnapshot() const
{
    auto const location = snapshotURL();
    if (!m_fileManager->fileExistsAtPath(location))
        return std::nullopt;
    auto const bytes = m_fileManager->contentsOfFile(location, maximumSnapshotFileLength);
    auto snapshot = TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(bytes);
    if (snapshot.schemaVersion != TavvoWidgetSnapshot::currentSchemaVersion)
        return std::nullopt;
    return snapshot;
}

void TavvoWidgetSnapshotStore::writeSnapshot(const TavvoWidgetSnapshot& snapshot) const
{
    auto const location = snapshotURL();
    auto const folder = location.parent_path();
    m_fileManager->createDirectory(folder, true, folderPermissions);
    m_fileManager->setPosixPermissions(folder, folderPermissions);
    auto const bytes = TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot);
    m_fileManager->writeAtomically(location, bytes);
    m_fileManager->setPosixPermissions(location, filePermissions);
}
