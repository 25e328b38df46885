#include "Platform/Foundation/FileManager.hpp"

#include "TestSupport/FileMode.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <system_error>

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

void expectSystemError(const std::function<void()>& action, int error, const std::string& messageStart)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected " << messageStart;
    } catch (const std::system_error& thrown) {
        EXPECT_EQ(thrown.code().value(), error) << thrown.what();
        EXPECT_EQ(std::string(thrown.what()).rfind(messageStart, 0), 0u) << thrown.what();
    }
}

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
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(target, "new"); }, ENOENT, "cannot create file ");
    EXPECT_EQ(entriesIn(folder.path()), 0u);
}

TEST(FileManager, FailedRenameRemovesTheTemporaryFile)
{
    TemporaryDirectory folder;
    auto const target = folder.path() / "occupied";
    fs::create_directory(target);
    fs::create_directory(target / "child"); // a non-empty folder cannot be replaced by a file
    expectSystemError([&] { FileManager::defaultManager()->writeAtomically(target, "new"); }, EISDIR, "cannot replace file ");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(FileManager, ReadsOnlyRegularFilesOfBoundedSize)
{
    TemporaryDirectory folder;
    auto const manager = FileManager::defaultManager();

    auto const fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Without a writer this would block forever if the FIFO were opened plainly.
    expectSystemError([&] { manager->contentsOfFile(fifo, 100); }, EINVAL, "cannot read file ");

    expectSystemError([&] { manager->contentsOfFile(folder.path(), 100); }, EISDIR, "cannot read file ");
    expectSystemError([&] { manager->contentsOfFile("/dev/zero", 100); }, EINVAL, "cannot read file ");
    expectSystemError([&] { manager->contentsOfFile(folder.path() / "missing", 100); }, ENOENT, "cannot open file ");

    // A 100 MB sparse file is refused before anything is read.
    auto const large = folder.path() / "large";
    std::ofstream(large).close();
    fs::resize_file(large, 100 * 1024 * 1024);
    expectSystemError([&] { manager->contentsOfFile(large, 16 * 1024 * 1024); }, EFBIG, "cannot read file ");

    auto const exact = folder.path() / "exact";
    std::ofstream(exact) << "12345";
    EXPECT_EQ(manager->contentsOfFile(exact, 5), "12345");
    expectSystemError([&] { manager->contentsOfFile(exact, 4); }, EFBIG, "cannot read file ");
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
        "cannot create directory ");
    std::ofstream(folder.path() / "file").close();
    expectSystemError([&] { manager->createDirectory(folder.path() / "file", true, fs::perms::owner_all); }, EEXIST,
        "cannot create directory ");
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
