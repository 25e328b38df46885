// Numbers and amounts of money in the language in force (never the
// process locale): the language's grouping, decimal mark and currency
// placement, with exact decimal arithmetic.
#pragma once

#include "Platform/Foundation/Decimal.hpp"

#include <cstdint>
#include <string>

namespace L10n {

// `value` with grouping and at most `maximumFractionDigits` fraction
// digits, rounded half to even and never padded:
//   localizedDecimal(2.5, 0) == "2", localizedDecimal(3.5, 0) == "4"
//   localizedDecimal(0.125, 2) == "0.12", localizedDecimal(3, 2) == "3"
//   in Russian, localizedDecimal(1234.5, 1) == "1 234,5"
// A negative digit count means none. Should the formatter fail, the
// decimal's plain description stands in.
std::string localizedDecimal(const Foundation::Decimal& value, int maximumFractionDigits);

// The same as an amount of US dollars, with the sign placed and spaced as
// the language writes it: "$12", "12 $" in French. Falls back to "$"
// followed by the plain description.
std::string localizedCurrencyUSD(const Foundation::Decimal& value, int maximumFractionDigits);

// `value` with the language's grouping: "-1,234,567", "-1 234 567".
std::string localizedInteger(std::int64_t value);

}
