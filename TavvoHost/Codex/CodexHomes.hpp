// CodexHomes: the folders Codex keeps its sessions in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace TavvoHost {

// Splits a CODEX_HOME value at commas (empty parts dropped); nothing/empty → <home>/.codex; no home → empty list.
//   codexHomes("/a,,/b", "/home/u") == { "/a", "/b" }
//   codexHomes(std::nullopt, "/home/u") == { "/home/u/.codex" }
//   codexHomes(std::nullopt, std::nullopt).empty()
std::vector<std::filesystem::path> codexHomes(const std::optional<std::string>& codexHomeValue,
    const std::optional<std::filesystem::path>& homeDirectory);

}
