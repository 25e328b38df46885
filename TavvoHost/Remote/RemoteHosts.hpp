// RemoteHosts: the machines whose observations are collected with this
// one's, as ssh names them: `user@host`, an alias of the user's ssh
// configuration, `ssh://user@host:port`.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TavvoHost {

// Why `host` may not be handed to ssh, one line; nothing when it may. A
// name starting with "-" would be read as one of ssh's options, and one
// holding blanks or control characters as several words or lines.
std::optional<std::string> refusedRemoteHost(std::string_view host);

struct RemoteHostList {
    // In the order listed, each once.
    std::vector<std::string> hosts;
    // One line for each line of the file that was refused, or for a file
    // that could not be read.
    std::vector<std::string> problems;

    friend bool operator==(const RemoteHostList&, const RemoteHostList&) = default;
};

// The file that lists the user's remote machines: `tavvo/remotes` in the
// user's configuration folder; nothing without one.
std::optional<std::filesystem::path> remotesFilePath();

// The hosts `file` lists, one a line; blank lines and lines starting with
// "#" (after blanks) say nothing, and blanks around a host are not part of
// it. A missing file lists no host.
RemoteHostList readRemotesFile(const std::filesystem::path& file);

// `first` followed by those of `then` not in it already: a machine asked
// twice would count its weekly tokens twice.
std::vector<std::string> joinedRemoteHosts(std::vector<std::string> first, const std::vector<std::string>& then);

}
