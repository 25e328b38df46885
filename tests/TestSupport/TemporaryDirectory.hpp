// A fresh folder for one test, removed with everything in it afterwards.
//
// In memory (/dev/shm, where the machine has it) for tests that write
// thousands of times: what racing readers and killed writers can observe
// is what the kernel's rename guarantees, the same on every file system,
// and flushing each write to a disk would only add milliseconds to each.
#pragma once

#include <filesystem>

class TemporaryDirectory {
public:
    enum class Storage {
        disk,
        memory,
    };

    explicit TemporaryDirectory(Storage storage = Storage::disk);
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory();

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
