// UserDefaults: named key/value suites kept as one JSON object per suite in
// <XDG config>/defaults/<suite>.json, shared by every process of the user.
//
// A read parses the file only when it changed since the last parse (one
// stat tells; see JSONObjectFile), so a value written by another process is
// seen at the next call. Writes lock a companion file (<suite>.json.lock,
// never replaced, so every writer locks the same inode), re-read the
// current contents and replace the file atomically; two processes writing
// at once therefore never lose each other's keys, and a reader sees the old
// or the new file, never a mixture.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

class UserDefaults {
public:
    // The suite `suiteName`; nothing when the name could not name one file
    // (empty, ".", "..", holding "/" or NUL) or there is no usable config
    // folder. Opening creates nothing.
    static std::optional<UserDefaults> withSuiteName(std::string_view suiteName);

    // The suite named by the main bundle's identifier. Always usable: when it
    // has no file to live in, reads yield nothing and writes do nothing.
    static UserDefaults standardUserDefaults();

    // The text stored under `key`; nothing when the key is absent, holds
    // another kind of value, or the file is missing, unreadable or malformed.
    std::optional<std::string> stringForKey(std::string_view key) const;

    // Stores `value` as the text under `key`. Other keys, and values of other
    // kinds, are kept; a malformed file is replaced. The folder is created
    // 0700 and the file ends 0600. Throws std::system_error when the file
    // cannot be locked, read (other than missing) or written, and with
    // EILSEQ when `key` or `value` is not valid UTF-8.
    void setObject(std::string_view value, std::string_view key) const;

    // Removes `key`; the same failures as `setObject`.
    void removeObjectForKey(std::string_view key) const;

    // Where the suite is kept (it need not exist yet); nothing for the
    // standard suite when it has nowhere to live.
    const std::optional<std::filesystem::path>& fileURL() const { return m_file; }

private:
    explicit UserDefaults(std::optional<std::filesystem::path> file);

    // Nothing for the standard suite when it has nowhere to live.
    std::optional<std::filesystem::path> m_file;
};

}
