// DecodingError: a text that is not a valid JSON form of the record asked
// for. It names where in the document it happened ("providers[1].status")
// and what was wrong, so a host developer can fix the writer.
#pragma once

#include <stdexcept>
#include <string>

namespace Tavvo {

class DecodingError : public std::runtime_error {
public:
    DecodingError(std::string codingPath, const std::string& reason)
        : std::runtime_error(codingPath.empty() ? reason : codingPath + ": " + reason)
        , m_codingPath(std::move(codingPath))
    {
    }

    // Empty when the text as a whole is at fault (not JSON, say).
    const std::string& codingPath() const { return m_codingPath; }

private:
    std::string m_codingPath;
};

}
