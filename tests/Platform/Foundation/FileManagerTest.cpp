#include "Platform/Foundation/FileManager.hpp"

#include "TestSupport/FileMode.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/SystemError.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Foundation::FileManager;

namespace {

std::size_t entriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Sets the umask for one scope.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask)
        : m_previous(::umask(mask))
    {
    }
    ~ScopedUmask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

}

TEST(FileManager, AtomicWriteIsOwnerOnlyWhateverTheUmask)
{
    TemporaryDirectory folder;
    auto const manager = FileManager::defaultManager();
    for (mode_t mask : { 0000, 0022, 0077, 0777 }) {
        ScopedUmask const scoped(mask);
        auto const target = folder.path() / ("file-" + std::to_string(mask));
        manager->writeAtomically(target, "first");
        EXPECT_EQ(modeOf(target), 0600u) << "umask " << mask;
        manager->writeAtomically(target, "second");
        EXPECT_EQ(manager->contentsOfFile(target, 100), "second");
    }
    EXPECT_EQ(entriesIn(folder.path()), 4u) << "no temporary file stays behind";
}

// A failed write leaves the folder as it was: no temporary file stays,
// whether creating it or renaming it over the target failed.
TEST(FileManager, FailedAtomicWriteLeavesNothingBehind)
{
    TemporaryDirectory folder;
    auto const missing = folder.path() / "missing" / "file";
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(missing, "new"); }, ENOENT,
        "cannot create file " + (folder.path() / "missing" / ".file.*").string());
    EXPECT_EQ(entriesIn(folder.path()), 0u);

    auto const occupied = folder.path() / "occupied";
    fs::create_directories(occupied / "child"); // a non-empty folder cannot be replaced by a file
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(occupied, "new"); }, EISDIR,
        "cannot replace file " + occupied.string() + ": Is a directory");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(FileManager, CreatesFoldersWithExactPermissions)
{
    TemporaryDirectory folder;
    auto const manager = FileManager::defaultManager();
    ScopedUmask const scoped(0077);
    auto const nested = folder.path() / "a" / "b";
    manager->createDirectory(nested, true, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(modeOf(folder.path() / "a"), 0750u);
    EXPECT_EQ(modeOf(nested), 0750u);
    manager->createDirectory(nested, true, fs::perms::owner_all); // already there: nothing changes
    EXPECT_EQ(modeOf(nested), 0750u);

    expectSystemError([&] { manager->createDirectory(folder.path() / "x" / "y", false, fs::perms::owner_all); }, ENOENT,
        "cannot create directory " + (folder.path() / "x" / "y").string() + ": No such file or directory");
    std::ofstream(folder.path() / "file").close();
    expectSystemError([&] { manager->createDirectory(folder.path() / "file", true, fs::perms::owner_all); }, EEXIST,
        "cannot create directory " + (folder.path() / "file").string() + ": File exists");
}

TEST(FileManager, ContainerIsNamedAfterTheGroupUnderTheDataFolder)
{
    auto const manager = FileManager::defaultManager();
    // A relative data folder is ignored for the one under the home folder.
    ScopedEnvironment const relative { { "XDG_DATA_HOME", "relative" }, { "HOME", "/home/u" } };
    EXPECT_EQ(manager->containerURLForSecurityApplicationGroupIdentifier("g"), fs::path("/home/u/.local/share/g"));
    for (const char* bad : { "", ".", "..", "a/b" })
        EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier(bad)) << bad;
    ScopedEnvironment const homeless { { "HOME", std::nullopt } };
    EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier("g"));
}
