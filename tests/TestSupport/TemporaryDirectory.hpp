// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>

class TemporaryDirectory {
public:
    TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory();

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
