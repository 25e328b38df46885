// A bundle: a folder holding a program's or a library's information
// dictionary (Info.json) and its resources, among them per-language
// folders (<code>.lproj) with a string table (Localizable.json).
//
// On disk a bundle lives in the prefix's data folder, found relative to the
// executable or shared library it belongs to, so the same relative layout
// works in the build tree and in any installed prefix:
//   <prefix>/bin/<program>            ->  <prefix>/share/<…>/<program>.bundle
//   <prefix>/lib/lib<Name>.so         ->  <prefix>/share/<…>/<Name>.bundle
#pragma once

#include "Platform/Foundation/PropertyListValue.hpp"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

class Bundle {
public:
    // The bundle of the running program, located once. Always yields a
    // bundle; when its folder does not exist the information dictionary is
    // empty and no resource is found.
    static Bundle mainBundle();

    // The bundle of the shared library (or program) whose code or data holds
    // `address`: the stand-in for looking a bundle up by one of its classes.
    static Bundle bundleContaining(const void* address);

    // Opens the bundle at `path`; nothing when no folder is there.
    static std::optional<Bundle> withPath(const std::filesystem::path& path);

    const std::filesystem::path& bundlePath() const { return m_path; }

    // The value stored under `key` in Info.json, or nothing. A missing or
    // malformed Info.json reads as an empty dictionary.
    std::optional<PropertyListValue> objectForInfoDictionaryKey(std::string_view key) const;

    // "CFBundleIdentifier" of the information dictionary when it is a
    // non-empty text, else the bundle folder's name without its extension.
    std::string bundleIdentifier() const;

    // The path of the resource `name`.`type` directly in the bundle folder
    // (a file or a folder), or nothing.
    std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type) const;

    // Looks `key` up in the default string table (Localizable.json) of this
    // bundle. A missing key, a missing table or a malformed one yields the
    // key itself. Every call sees the table as it is on disk; it is parsed
    // again only when the file has changed.
    std::string localizedStringForKey(std::string_view key) const;

private:
    explicit Bundle(std::filesystem::path path);

    std::filesystem::path m_path;
};

}
