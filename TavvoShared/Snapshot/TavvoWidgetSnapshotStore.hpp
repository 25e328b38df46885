// TavvoWidgetSnapshotStore: moves the snapshot document between memory and
// the one JSON file in the folder the host program and the widget share.
#pragma once

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class TavvoWidgetSnapshotStore {
public:
    // Longest snapshot file the store reads. Real documents are a few
    // kilobytes; the cap keeps a stray huge file from exhausting memory.
    static constexpr std::size_t maximumSnapshotFileLength = 16 * 1024 * 1024;

    // All three are required. With a `baseURL` the container is never
    // looked up and the file lives below that folder instead.
    TavvoWidgetSnapshotStore(std::string appGroupIdentifier, std::optional<std::filesystem::path> baseURL,
        std::shared_ptr<Foundation::FileManager> fileManager);

    // The information dictionary's "TavvoAppGroupIdentifier" when it is a
    // non-empty text (returned untrimmed), else the built-in identifier:
    // Tavvo::AppGroup::resolvedIdentifier, under the name host programs use.
    static std::string resolvedAppGroupIdentifier(const Foundation::Bundle& bundle);

    const std::string& appGroupIdentifier() const { return m_appGroupIdentifier; }
    const std::optional<std::filesystem::path>& baseURL() const { return m_baseURL; }
    const std::shared_ptr<Foundation::FileManager>& fileManager() const { return m_fileManager; }

    // <base>/Widget/current-limits.json. Creates and tests nothing. Throws
    // TavvoWidgetSnapshotStoreError when there is no base folder.
    std::filesystem::path snapshotURL() const;

    // The stored document; nothing when there is no file or the document is
    // of another schema version. Throws the file-system or decoding error.
    std::optional<TavvoWidgetSnapshot> readSnapshot() const;

    // Stores the document as it stands: the folder is made 0700, the file
    // is replaced atomically and ends 0600. Throws the first error.
    void writeSnapshot(const TavvoWidgetSnapshot& snapshot) const;

private:
    std::string m_appGroupIdentifier;
    std::optional<std::filesystem::path> m_baseURL;
    std::shared_ptr<Foundation::FileManager> m_fileManager;
};
