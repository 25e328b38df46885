// Instants for tests, written the way people read them.
#pragma once

#include "Platform/Foundation/InternetDateTime.hpp"

#include <stdexcept>
#include <string_view>

inline Foundation::Date at(std::string_view text)
{
    auto const date = Foundation::parseInternetDateTime(text);
    if (!date)
        throw std::invalid_argument("bad test date");
    return *date;
}
