// Files for the log readers' tests: written, appended, compressed, aged.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/LogFiles/LineSplitter.hpp"
#include "TavvoHost/LogFiles/LogFileRead.hpp"

#include <gtest/gtest.h>
#include <zstd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

inline void writeFile(const std::filesystem::path& path, std::string_view bytes, std::ios::openmode mode = std::ios::trunc)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | mode).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void appendFile(const std::filesystem::path& path, std::string_view bytes)
{
    writeFile(path, bytes, std::ios::app);
}

inline std::string compressed(std::string_view text)
{
    std::string frame(ZSTD_compressBound(text.size()), '\0');
    auto const size = ZSTD_compress(frame.data(), frame.size(), text.data(), text.size(), 3);
    EXPECT_FALSE(ZSTD_isError(size));
    frame.resize(size);
    return frame;
}

inline void setModified(const std::filesystem::path& path, Foundation::Date date)
{
    auto const seconds = std::chrono::floor<std::chrono::seconds>(date);
    timespec const time { seconds.time_since_epoch().count(), 0 };
    timespec const times[2] { time, time };
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Keeps every line, and counts the starts from the top of the file.
struct CollectedLines final : TavvoHost::LineConsumer {
    std::vector<std::string> lines;
    int starts = 0;
    void startOfFile() override { ++starts; }
    void line(std::string_view text) override { lines.emplace_back(text); }
};

// Lines of many lengths, some empty, over several read chunks, so that the
// chunks' edges fall inside lines, next to newlines and between them.
inline std::vector<std::string> linesOverSeveralChunks()
{
    std::vector<std::string> lines;
    std::size_t total = 0;
    for (std::size_t index = 0; total < 3 * TavvoHost::logFileChunkBytes + 1000; ++index) {
        if (index % 13 == 0)
            lines.emplace_back();
        else
            lines.push_back(std::to_string(index) + std::string((index * 7919) % 5000, static_cast<char>('a' + index % 26)));
        total += lines.back().size() + 1;
    }
    return lines;
}

inline std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (auto const& line : lines)
        text += line + '\n';
    return text;
}
