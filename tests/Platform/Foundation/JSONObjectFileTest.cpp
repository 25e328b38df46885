#include "Platform/Foundation/JSONObjectFile.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using Foundation::jsonObjectFile;

namespace {

constexpr std::size_t anyLength = 1024;

std::string valueIn(const fs::path& path)
{
    auto const object = jsonObjectFile(path, anyLength);
    if (!object)
        return "(none)";
    auto const found = object->FindMember("k");
    return found == object->MemberEnd() ? "(no k)" : found->value.GetString();
}

// Sets the modification time back, as a copy keeping times would, and lets
// the clock move on, as it does between two edits by hand.
void backdate(const fs::path& path)
{
    timespec const times[2] = { { 0, UTIME_OMIT }, { 1'000'000'000, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

}

// Every read sees the file as it is, however it was changed, even with the
// same size and modification time as the copy that was kept.
TEST(JSONObjectFile, EveryChangeIsSeenAndAnUnchangedFileIsParsedOnce)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "suite.json";
    std::ofstream(path) << R"({"k":"a"})";
    EXPECT_NE(jsonObjectFile(path, anyLength), jsonObjectFile(path, anyLength)) << "a file just written is not kept";
    backdate(path);
    EXPECT_EQ(valueIn(path), "a");
    EXPECT_EQ(jsonObjectFile(path, anyLength), jsonObjectFile(path, anyLength)) << "a settled file is parsed once";

    std::ofstream(path) << R"({"k":"b"})";
    backdate(path);
    EXPECT_EQ(valueIn(path), "b") << "rewritten in place";

    std::ofstream(folder.path() / "new.json") << R"({"k":"c"})";
    backdate(folder.path() / "new.json");
    fs::rename(folder.path() / "new.json", path);
    EXPECT_EQ(valueIn(path), "c") << "replaced by a rename";

    EXPECT_FALSE(jsonObjectFile(path, 5)) << "longer than allowed";
    std::ofstream(path) << R"(["k"])";
    EXPECT_EQ(valueIn(path), "(none)") << "not an object";
    fs::remove(path);
    EXPECT_EQ(valueIn(path), "(none)");
    fs::create_directory(path);
    EXPECT_EQ(valueIn(path), "(none)");
}
