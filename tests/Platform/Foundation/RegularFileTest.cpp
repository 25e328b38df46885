#include "Platform/Foundation/RegularFile.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Foundation::RegularFile;
using Opening = RegularFile::Opening;

TEST(RegularFile, NeverOpensAnythingButARegularFile)
{
    TemporaryDirectory folder;
    auto const fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto const zero = folder.path() / "zero";
    fs::create_symlink("/dev/zero", zero);
    auto const socketPath = folder.path() / "socket";
    int const listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // A FIFO without a writer would block a blocking open; these return at
    // once. A socket cannot even be opened.
    for (auto const& path : { fifo, zero, socketPath, folder.path() }) {
        RegularFile const file(path);
        EXPECT_EQ(file.opening(), Opening::notRegular) << path;
        EXPECT_EQ(file.isFolder(), path == folder.path()) << path;
        EXPECT_EQ(file.isOpen(), path != socketPath) << path;
    }
    ::close(listener);

    RegularFile const missing(folder.path() / "missing");
    EXPECT_EQ(missing.opening(), Opening::failed);
    EXPECT_EQ(missing.error(), std::errc::no_such_file_or_directory);

    // A link to a regular file is read like the file.
    std::ofstream(folder.path() / "file") << "abcdef";
    fs::create_symlink(folder.path() / "file", folder.path() / "link");
    RegularFile file(folder.path() / "link");
    ASSERT_EQ(file.opening(), Opening::opened);
    EXPECT_EQ(file.identity().size, 6);
    std::array<char, 4> buffer {};
    EXPECT_EQ(file.readAt(buffer, 4), 2u);
    EXPECT_EQ(std::string_view(buffer.data(), 2), "ef");
    EXPECT_EQ(file.readAt(buffer, 6), 0u);
}
