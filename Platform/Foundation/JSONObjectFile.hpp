// JSONObjectFile: the JSON object held by a small settings or resource
// file, read and parsed once for each version of the file.
//
// The language override, the string tables and the information
// dictionaries are looked up for every text shown, and each lookup must see
// a change another process made. Checking that the file is still the one
// parsed costs a single stat; reading and parsing it again costs far more.
// What was parsed is kept for the file's identity, and only once that
// identity has settled: another write in the same clock tick could leave it
// as it was.
//
// Internal to the library: the header names RapidJSON's types and is not
// installed.
#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <filesystem>
#include <memory>

namespace Foundation {

// The object in the file at `path`; nothing when there is no regular file,
// it cannot be read, is longer than `maximumLength`, or does not hold a
// JSON object (encoding validated). Safe to call from any thread.
std::shared_ptr<const rapidjson::Document> jsonObjectFile(const std::filesystem::path& path, std::size_t maximumLength);

}
