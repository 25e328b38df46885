// Checks the file-system errors the platform layer throws: the error code
// a caller may branch on, and the message a person reads.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <system_error>

// Expects `action` to throw a std::system_error with `code` and exactly
// `message`; a message ending in "*" need only start with what precedes it
// (for names the code makes up, like a temporary file's).
inline void expectSystemError(const std::function<void()>& action, int code, const std::string& message)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const std::system_error& thrown) {
        EXPECT_EQ(thrown.code().value(), code) << thrown.what();
        std::string const what = thrown.what();
        if (message.ends_with('*'))
            EXPECT_EQ(what.substr(0, message.size() - 1), message.substr(0, message.size() - 1)) << what;
        else
            EXPECT_EQ(what, message);
    }
}
