// EncodingError: a record that has no JSON form (a text that is not valid
// UTF-8 or too long, a date whose year four digits cannot write). The
// message names the field, so the program that made the record can be
// fixed.
#pragma once

#include <stdexcept>

namespace Tavvo {

class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}
