#include "Platform/Foundation/FileManager.hpp"

#include "TestSupport/FileMode.hpp"
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

TEST(FileManager, FailedAtomicWriteCreatesNothing)
{
    TemporaryDirectory folder;
    auto const target = folder.path() / "missing" / "file";
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(target, "new"); }, ENOENT,
        "cannot create file " + (folder.path() / "missing" / ".file.*").string());
    EXPECT_EQ(entriesIn(folder.path()), 0u);
}

TEST(FileManager, FailedRenameRemovesTheTemporaryFile)
{
    TemporaryDirectory folder;
    auto const target = folder.path() / "occupied";
    fs::create_directory(target);
    fs::create_directory(target / "child"); // a non-empty folder cannot be replaced by a file
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(target, "new"); }, EISDIR,
        "cannot replace file " + target.string() + ": Is a directory");
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
    std::string const savedData = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    std::string const savedHome = getenv("HOME") ? getenv("HOME") : "";

    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(manager->containerURLForSecurityApplicationGroupIdentifier("group.x"), fs::path("/data/group.x"));
    for (const char* bad : { "", ".", "..", "a/b" })
        EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier(bad)) << bad;

    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(manager->containerURLForSecurityApplicationGroupIdentifier("g"), fs::path("/home/u/.local/share/g"));
    unsetenv("HOME");
    EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier("g"));

    savedData.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    if (!savedHome.empty())
        setenv("HOME", savedHome.c_str(), 1);
}
