// Whatever another program leaves at the snapshot path, reading it gives a
// document, nothing, or a clear error (the file-system error naming the
// path, or the decoding error) at once and in bounded memory; and the next
// write puts a proper file in its place.
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include "Hardening/HardeningSupport.hpp"
#include "TestSupport/FileMode.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Hardening;

namespace {

// What reading gave, in words: which document, nothing, or the error. A
// file-system error's text ends with the description of its code, so the
// text alone tells the code apart.
std::string readThrough(const TavvoWidgetSnapshotStore& store)
{
    try {
        auto const snapshot = store.readSnapshot();
        if (!snapshot)
            return "nothing";
        return snapshot == fullDocument() ? "the full document" : snapshot == otherDocument() ? "the other document" : "another document";
    } catch (const std::system_error& error) {
        return std::string("file-system error: ") + error.what();
    } catch (const Tavvo::DecodingError& error) {
        return std::string("decoding error: ") + error.what();
    }
}

long peakResidentKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A hang must fail the test, not stall the run: the alarm's default action
// ends the process if a case blocks.
class HangGuard {
public:
    explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
    ~HangGuard() { ::alarm(0); }
};

class BadSnapshotFileTest : public ::testing::Test {
protected:
    TavvoWidgetSnapshotStore store() const
    {
        return TavvoWidgetSnapshotStore("group.test", m_base.path(), Foundation::FileManager::defaultManager());
    }
    const fs::path& base() const { return m_base.path(); }
    fs::path folder() const { return base() / "Widget"; }
    fs::path path() const { return folder() / "current-limits.json"; }

    // A valid document somewhere else, for links to point at.
    fs::path documentElsewhere() const
    {
        auto const file = base() / "elsewhere" / "document.json";
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << encode(fullDocument());
        return file;
    }

private:
    TemporaryDirectory m_base;
};

}

TEST_F(BadSnapshotFileTest, EveryKindOfFileReadsByTheRulesAndTheNextWriteReplacesIt)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make; // makes the thing at the snapshot path
        std::string reading; // "@" stands for the snapshot's path
        bool writeReplacesIt = true;
    };
    auto const writeText = [](std::string text) {
        return [text](const fs::path& at) { std::ofstream(at, std::ios::binary) << text; };
    };
    // A file of NUL bytes that takes no room on the disk.
    auto const sparse = [](std::uintmax_t length) {
        return [length](const fs::path& at) {
            std::ofstream(at).close();
            fs::resize_file(at, length);
        };
    };
    std::string const notRegular = "file-system error: cannot read file @: not a regular file: Invalid argument";
    std::string const tooLarge = "file-system error: cannot read file @: File too large";
    std::string const notJSON = "decoding error: the data is not valid JSON: ";
    Case const cases[] = {
        { "a FIFO with no writer", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }, notRegular },
        { "a directory", [](const fs::path& at) { fs::create_directory(at); }, "file-system error: cannot read file @: Is a directory", false },
        { "a link to /dev/zero", [](const fs::path& at) { fs::create_symlink("/dev/zero", at); }, notRegular },
        { "a 2 GB sparse file", sparse(std::uintmax_t { 2 } << 30), tooLarge },
        { "one byte over the cap", sparse(TavvoWidgetSnapshotStore::maximumSnapshotFileLength + 1), tooLarge },
        { "a megabyte of NUL bytes", sparse(1 << 20), notJSON + "The document is empty. (at byte 0)" },
        { "a dangling link", [](const fs::path& at) { fs::create_symlink("nowhere/at/all.json", at); }, "nothing" },
        { "a link to itself", [](const fs::path& at) { fs::create_symlink(at.filename(), at); },
            "file-system error: cannot open file @: Too many levels of symbolic links" },
        { "a link to a document elsewhere", [&](const fs::path& at) { fs::create_symlink(documentElsewhere(), at); }, "the full document" },
        { "a link to a file whose size says 0 but that has contents",
            [](const fs::path& at) { fs::create_symlink("/proc/self/status", at); }, notJSON + "Invalid value. (at byte 0)" },
        { "a socket", [](const fs::path& at) { ASSERT_EQ(::mknod(at.c_str(), S_IFSOCK | 0600, 0), 0); },
            "file-system error: cannot open file @: No such device or address" },
        { "an empty file", writeText(""), notJSON + "The document is empty. (at byte 0)" },
        { "only a byte-order mark and blanks", writeText("\xef\xbb\xbf \n\t"), notJSON + "The document is empty. (at byte 6)" },
        { "half a document", writeText(encode(fullDocument()).substr(0, 300)),
            notJSON + "Missing a closing quotation mark in string. (at byte 300)" },
        { "a document of another version", writeText(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":5})"), "nothing" },
    };

    HangGuard const guard(60);
    long const peakBefore = peakResidentKilobytes();
    int tried = 0;
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ignored;
        fs::remove_all(folder(), ignored);
        fs::create_directories(folder());
        c.make(path());
        if (::testing::Test::HasFatalFailure())
            return;

        auto const reading = readThrough(store());
        ++tried;
        // A file-system error names the file and says what is wrong with it.
        auto expected = c.reading;
        if (auto const marker = expected.find('@'); marker != std::string::npos)
            expected.replace(marker, 1, path().string());
        EXPECT_EQ(reading, expected);

        // The host repairs the path by writing, whatever was there; only a
        // folder in the file's place stops it, with an error.
        if (c.writeReplacesIt) {
            EXPECT_NO_THROW(store().writeSnapshot(otherDocument()));
            EXPECT_EQ(readThrough(store()), "the other document");
            EXPECT_EQ(modeOf(path()), 0600u);
        } else {
            EXPECT_THROW(store().writeSnapshot(otherDocument()), std::system_error);
        }
    }
    // Nothing was read into memory beyond the cap: the 2 GB file alone
    // would have raised the peak by gigabytes.
    EXPECT_LT(peakResidentKilobytes() - peakBefore, 256 * 1024);
    RecordProperty("kindsOfFileTried", tried);
}

// Symbolic links on the way to the file are followed like any folder: the
// host may keep its data elsewhere and link the shared folder to it.
TEST_F(BadSnapshotFileTest, APathThroughLinkedFoldersReadsAndWritesTheRealFile)
{
    auto const real = base() / "real" / "Widget";
    fs::create_directories(real);
    fs::permissions(real, fs::perms(0755));
    fs::create_symlink(real, folder());

    EXPECT_EQ(store().readSnapshot(), std::nullopt);
    store().writeSnapshot(fullDocument());
    EXPECT_EQ(store().readSnapshot(), fullDocument());
    EXPECT_TRUE(fs::is_regular_file(real / "current-limits.json"));
    EXPECT_EQ(modeOf(real), 0700u) << "the real folder is the one made private";
    EXPECT_TRUE(fs::is_symlink(folder())) << "the link itself stays";

    // The base folder itself a link, with the link to the folder inside.
    auto const linkedBase = base() / "linked-base";
    fs::create_symlink(base(), linkedBase);
    TavvoWidgetSnapshotStore const throughLinks("group.test", linkedBase, Foundation::FileManager::defaultManager());
    EXPECT_EQ(throughLinks.readSnapshot(), fullDocument());
}

// A file cut short and restored over and over while it is read: each read
// is the whole document or a decoding error, never a crash or a mixture.
TEST_F(BadSnapshotFileTest, AFileTruncatedWhileBeingReadIsADocumentOrADecodingError)
{
    auto const document = encode(fullDocument());
    auto const contents = document + std::string(2 << 20, ' '); // trailing blanks: many reads per file
    fs::create_directories(folder());
    std::ofstream(path(), std::ios::binary) << contents;

    pid_t const cutter = forkChild([&] {
        int const file = ::open(path().c_str(), O_WRONLY);
        if (file < 0)
            throw std::system_error(errno, std::generic_category());
        for (;;) {
            if (::ftruncate(file, static_cast<off_t>(document.size() / 2)) != 0
                || ::pwrite(file, contents.data(), contents.size(), 0) != static_cast<ssize_t>(contents.size()))
                throw std::system_error(errno, std::generic_category());
        }
    });
    ASSERT_GT(cutter, 0);

    HangGuard const guard(60);
    int whole = 0;
    int refused = 0;
    constexpr int reads = 300;
    for (int read = 0; read < reads; ++read) {
        auto const reading = readThrough(store());
        if (reading == "the full document")
            ++whole;
        else if (reading.starts_with("decoding error: "))
            ++refused;
        else
            ADD_FAILURE() << "neither the document nor a decoding error: " << reading;
    }
    ::kill(cutter, SIGKILL);
    ::waitpid(cutter, nullptr, 0);
    EXPECT_EQ(whole + refused, reads);
    RecordProperty("wholeReads", whole);
    RecordProperty("refusedReads", refused);
}

// Permission bits are no obstacle to root, so an unreadable file is read by
// a child that has given up root; run unprivileged, the test reads it
// itself.
TEST_F(BadSnapshotFileTest, AnUnreadableFileIsAPermissionError)
{
    store().writeSnapshot(fullDocument());
    fs::permissions(path(), fs::perms::none);
    auto const expectPermissionError = [&] {
        auto const reading = readThrough(store());
        if (reading != "file-system error: cannot open file " + path().string() + ": Permission denied")
            throw std::runtime_error(reading);
    };

    if (::geteuid() != 0) {
        EXPECT_NO_THROW(expectPermissionError());
    } else {
        // The unprivileged user must be able to reach the folder.
        fs::permissions(base(), fs::perms(0755));
        fs::permissions(folder(), fs::perms(0755));
        pid_t const reader = forkChild([&] {
            constexpr uid_t nobody = 65534;
            if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                throw std::system_error(errno, std::generic_category());
            expectPermissionError();
        });
        int status = 0;
        ASSERT_EQ(::waitpid(reader, &status, 0), reader);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the unprivileged reader did not get a permission error";
    }

    // The owner's next write replaces it.
    fs::permissions(base(), fs::perms(0700));
    store().writeSnapshot(otherDocument());
    EXPECT_EQ(store().readSnapshot(), otherDocument());
    EXPECT_EQ(modeOf(path()), 0600u);
}
