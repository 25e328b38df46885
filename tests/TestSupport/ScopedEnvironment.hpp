// Sets and unsets environment variables for the length of one test, and
// puts back what was there before.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedEnvironment {
public:
    // Each variable is set to its value, or unset for nothing.
    ScopedEnvironment(std::initializer_list<std::pair<const char*, std::optional<std::string>>> values)
    {
        for (auto const& [name, value] : values) {
            char const* previous = std::getenv(name);
            m_saved.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
            assign(name, value);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        // In reverse, so a variable named twice ends as it began.
        for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved)
            assign(saved->first.c_str(), saved->second);
    }

    static void assign(const char* name, const std::optional<std::string>& value)
    {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
