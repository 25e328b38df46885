// FileManager: the file-system service, and the shared application-group
// container.
//
// Failures are std::system_error carrying errno and a short lowercase
// message naming the path ("cannot open file /x/y").
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// Whether `name` can name one entry of a folder and nothing else: not empty,
// not "." or "..", holding neither "/" nor NUL. A name that comes from
// outside (a suite name, a group identifier) is checked with this before it
// is appended to a folder, so that it can never reach another folder.
bool isSingleFileName(std::string_view name);

class FileManager {
public:
    virtual ~FileManager() = default;

    // The process-wide file manager.
    static std::shared_ptr<FileManager> defaultManager();

    // The per-user folder shared by the programs of an application group:
    // $XDG_DATA_HOME/<identifier>, or ~/.local/share/<identifier>. Nothing
    // when neither directory is usable (unset, empty or relative), or when
    // the identifier could not name one folder (empty, ".", "..", or holding
    // "/" or NUL). Looking it up creates nothing.
    virtual std::optional<std::filesystem::path>
    containerURLForSecurityApplicationGroupIdentifier(std::string_view identifier) const;

    // Whether anything exists at `path`, following symbolic links. Only
    // "no such file" answers false: when the path cannot be examined for
    // another reason (permissions, say) it counts as existing, so that the
    // following read reports the real error instead of hiding it.
    virtual bool fileExistsAtPath(const std::filesystem::path& path) const;

    // Creates `path` (and, when asked, its missing parents), each created
    // folder with exactly `permissions` whatever the umask. Succeeds when a
    // folder is already there.
    virtual void createDirectory(const std::filesystem::path& path, bool withIntermediateDirectories,
        std::filesystem::perms permissions) const;

    // Sets the POSIX permission bits of an existing item.
    virtual void setPosixPermissions(const std::filesystem::path& path, std::filesystem::perms permissions) const;

    // All bytes of the regular file at `path`. Anything else there (a folder,
    // a FIFO, a device) is an error, never a wait; so is a file longer than
    // `maximumLength`, which is refused rather than read into memory.
    virtual std::string contentsOfFile(const std::filesystem::path& path, std::size_t maximumLength) const;

    // Replaces the file at `path` with `bytes` so that a reader sees the old
    // or the new contents, never a mixture: the bytes go to a new file beside
    // the target (exclusive create under an unpredictable name, mode 0600
    // from the start), are flushed to disk, and the file is renamed over the
    // target, after which the folder is flushed too. On failure the
    // temporary file is removed and the target is untouched. A successful
    // write also removes temporary files that writers of the same target
    // left behind when they died, once those are a minute old; a younger
    // one may be another process's write in flight and stays.
    virtual void writeAtomically(const std::filesystem::path& path, std::string_view bytes) const;
};

}
