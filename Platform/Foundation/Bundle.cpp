#include "Platform/Foundation/Bundle.hpp"

#include "Platform/Foundation/ExecutablePath.hpp"
#include "Platform/Foundation/JSONObjectFile.hpp"

#include <dlfcn.h>
#include <system_error>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

// Information dictionaries and string tables are small; anything larger is
// not one of ours and reads as absent.
constexpr std::size_t maximumDictionaryFileLength = 4 * 1024 * 1024;

const rapidjson::Value* member(const rapidjson::Value& object, std::string_view key)
{
    auto const found = object.FindMember(rapidjson::Value(rapidjson::StringRef(key.data(), key.size())));
    return found == object.MemberEnd() ? nullptr : &found->value;
}

PropertyListValue propertyListValue(const rapidjson::Value& value)
{
    if (value.IsString())
        return std::string(value.GetString(), value.GetStringLength());
    if (value.IsBool())
        return value.GetBool();
    if (value.IsInt64())
        return value.GetInt64();
    if (value.IsNumber())
        return value.GetDouble();
    return OtherPropertyListValue {};
}

// "libExample.so.1.2" → "Example"; a program's name stays as is.
std::string bundleNameForBinary(const fs::path& binary)
{
    std::string name = binary.filename().string();
    if (auto const so = name.find(".so"); so != std::string::npos)
        name.resize(so);
    if (name.starts_with("lib") && name.size() > 3)
        name.erase(0, 3);
    return name;
}

fs::path bundlePathForBinary(const fs::path& binary, std::string_view relativeBundleFolder)
{
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(binary, error);
    if (error)
        resolved = binary;
    return (resolved.parent_path() / relativeBundleFolder / (bundleNameForBinary(resolved) + ".bundle")).lexically_normal();
}

}

Bundle::Bundle(fs::path path)
    : m_path(std::move(path))
{
}

Bundle Bundle::mainBundle()
{
    // A running program stays the file it was started from, so its bundle
    // is found once.
    static fs::path const path = bundlePathForBinary(executablePath(), FOUNDATION_BINDIR_TO_BUNDLES);
    return Bundle(path);
}

Bundle Bundle::bundleContaining(const void* address)
{
    Dl_info info {};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return mainBundle();
    fs::path const binary(info.dli_fname);
    std::error_code error;
    if (fs::equivalent(binary, executablePath(), error))
        return mainBundle();
    return Bundle(bundlePathForBinary(binary, FOUNDATION_LIBDIR_TO_BUNDLES));
}

std::optional<Bundle> Bundle::withPath(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_directory(path, error))
        return std::nullopt;
    return Bundle(path);
}

std::optional<PropertyListValue> Bundle::objectForInfoDictionaryKey(std::string_view key) const
{
    auto const dictionary = jsonObjectFile(m_path / "Info.json", maximumDictionaryFileLength);
    if (!dictionary)
        return std::nullopt;
    auto const* value = member(*dictionary, key);
    if (value == nullptr || value->IsNull())
        return std::nullopt;
    return propertyListValue(*value);
}

std::string Bundle::bundleIdentifier() const
{
    if (auto const value = objectForInfoDictionaryKey("CFBundleIdentifier")) {
        if (auto const* text = std::get_if<std::string>(&*value); text && !text->empty())
            return *text;
    }
    return m_path.stem().string();
}

std::optional<fs::path> Bundle::pathForResource(std::string_view name, std::string_view type) const
{
    std::string fileName(name);
    if (!type.empty()) {
        fileName += '.';
        fileName += type;
    }
    if (fileName.empty() || fileName.find('/') != std::string::npos)
        return std::nullopt;
    fs::path path = m_path / fileName;
    std::error_code error;
    if (!fs::exists(path, error))
        return std::nullopt;
    return path;
}

std::string Bundle::localizedStringForKey(std::string_view key) const
{
    auto const table = jsonObjectFile(m_path / "Localizable.json", maximumDictionaryFileLength);
    if (!table)
        return std::string(key);
    auto const* value = member(*table, key);
    if (value == nullptr || !value->IsString())
        return std::string(key);
    return std::string(value->GetString(), value->GetStringLength());
}

}
