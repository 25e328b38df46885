#include "TestSupport/TemporaryDirectory.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <unistd.h>

TemporaryDirectory::TemporaryDirectory(Storage storage)
{
    std::filesystem::path const memory("/dev/shm");
    bool const inMemory = storage == Storage::memory && ::access(memory.c_str(), W_OK | X_OK) == 0;
    std::string pattern = ((inMemory ? memory : std::filesystem::temp_directory_path()) / "tavvo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code ignored;
    // Tests may leave folders without write permission behind.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_path, ignored);
}
