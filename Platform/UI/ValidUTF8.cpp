#include "Platform/UI/ValidUTF8.hpp"

#include <glib.h>

#include <algorithm>

namespace UI {

std::string validUTF8(std::string_view string)
{
    auto const length = static_cast<gssize>(std::min<std::size_t>(string.size(), G_MAXSSIZE));
    gchar* valid = g_utf8_make_valid(string.data(), length);
    std::string result(valid);
    g_free(valid);
    return result;
}

}
