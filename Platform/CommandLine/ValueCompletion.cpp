#include "Platform/CommandLine/ValueCompletion.hpp"


#include <array>
#include <sstream>
#include <string_view>
#include <utility>

namespace CommandLine {

namespace {

// CLI11 keeps nothing of ours on an option but its validators, and tells a
// validator only by its name: the completion is written into a validator's
// name, "completion <kind> [<word>...]", and read back from there.
constexpr std::string_view namePrefix = "completion ";

constexpr std::array<std::pair<ValueKind, std::string_view>, 6> kindNames { {
    { ValueKind::words, "words" },
    { ValueKind::files, "files" },
    { ValueKind::directories, "directories" },
    { ValueKind::directoryList, "directory-list" },
    { ValueKind::programs, "programs" },
    { ValueKind::commandLine, "command-line" },
} };

std::string validatorName(const ValueCompletion& completion)
{
    std::string name(namePrefix);
    for (auto const& [kind, kindName] : kindNames) {
        if (kind == completion.kind)
            name += kindName;
    }
    for (auto const& word : completion.words)
        name += " " + word;
    return name;
}

std::optional<ValueCompletion> parsedName(const std::string& name)
{
    if (!name.starts_with(namePrefix))
        return std::nullopt;
    std::istringstream words(name.substr(namePrefix.size()));
    std::string kindName;
    words >> kindName;
    for (auto const& [kind, known] : kindNames) {
        if (kindName != known)
            continue;
        ValueCompletion completion { kind, {} };
        for (std::string word; words >> word;)
            completion.words.push_back(std::move(word));
        return completion;
    }
    return std::nullopt;
}

// Runs never: it only carries its name.
CLI::Validator carrier(const ValueCompletion& completion)
{
    return CLI::Validator([](std::string&) { return std::string(); }, "", validatorName(completion)).active(false);
}

}

CLI::Validator completes(ValueKind kind)
{
    return carrier({ kind, {} });
}

CLI::Validator completesWords(std::vector<std::string> words)
{
    return carrier({ ValueKind::words, std::move(words) });
}

CLI::Validator offering(CLI::Validator validator, const std::vector<std::string>& words)
{
    validator.name(validatorName({ ValueKind::words, words }));
    return validator;
}

std::optional<ValueCompletion> valueCompletion(CLI::Option& option)
{
    // CLI11 lists an option's validators only by index, and says where the
    // list ends by throwing.
    for (int index = 0;; ++index) {
        CLI::Validator* validator = nullptr;
        try {
            validator = option.get_validator(index);
        } catch (const CLI::OptionNotFound&) {
            return std::nullopt;
        }
        if (auto completion = parsedName(validator->get_name()))
            return completion;
    }
}

}
