// The permission bits of what is at a path, for tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

inline mode_t modeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}
