#include "Platform/Foundation/Decimal.hpp"

#include "Platform/Foundation/HashCombine.hpp"

#include <algorithm>
#include <charconv>

namespace Foundation {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds a significand longer than the maximum to that many digits, half
// to even, and returns how many digits were dropped.
std::size_t roundToMaximumDigits(std::string& digits)
{
    std::size_t const kept = Decimal::maximumSignificantDigits;
    if (digits.size() <= kept)
        return 0;

    char const first = digits[kept];
    bool const restNonZero = std::any_of(digits.begin() + static_cast<std::ptrdiff_t>(kept) + 1, digits.end(),
        [](char c) { return c != '0'; });
    bool const lastKeptOdd = (digits[kept - 1] - '0') % 2 == 1;
    bool const roundUp = first > '5' || (first == '5' && (restNonZero || lastKeptOdd));

    std::size_t const dropped = digits.size() - kept;
    digits.resize(kept);
    if (roundUp) {
        std::size_t i = kept;
        while (i > 0 && digits[i - 1] == '9') {
            digits[i - 1] = '0';
            --i;
        }
        if (i == 0)
            digits.insert(digits.begin(), '1'); // 99…9 became 100…0; trailing zeros go below
        else
            ++digits[i - 1];
    }
    return dropped;
}

}

Decimal::Decimal(bool negative, std::string significand, std::int32_t exponent)
    : m_negative(negative)
    , m_significand(std::move(significand))
    , m_exponent(exponent)
{
}

Decimal Decimal::fromInteger(std::int64_t value)
{
    // Every 64-bit integer has at most 19 digits, so it is always in range.
    char buffer[24];
    auto const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return *fromString(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

std::optional<Decimal> Decimal::fromString(std::string_view text)
{
    std::size_t i = 0;
    bool const negative = i < text.size() && text[i] == '-';
    if (negative)
        ++i;

    // Integer part: "0" or a digit run not starting with 0.
    std::size_t const integerStart = i;
    if (i < text.size() && text[i] == '0') {
        ++i;
    } else {
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
    if (i == integerStart)
        return std::nullopt;
    std::string digits(text.substr(integerStart, i - integerStart));

    std::int64_t exponent = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        std::size_t const fractionStart = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == fractionStart)
            return std::nullopt;
        digits.append(text.substr(fractionStart, i - fractionStart));
        exponent -= static_cast<std::int64_t>(i - fractionStart);
    }

    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        std::size_t const exponentStart = i;
        // Saturate the written exponent: anything this large is out of range
        // anyway, and the bound keeps the sums below far from overflow.
        std::int64_t written = 0;
        constexpr std::int64_t saturation = 1'000'000'000'000;
        while (i < text.size() && isDigit(text[i])) {
            written = std::min(saturation, written * 10 + (text[i] - '0'));
            ++i;
        }
        if (i == exponentStart)
            return std::nullopt;
        exponent += exponentNegative ? -written : written;
    }
    if (i != text.size())
        return std::nullopt;

    auto const firstSignificant = digits.find_first_not_of('0');
    if (firstSignificant == std::string::npos)
        return Decimal();
    digits.erase(0, firstSignificant);

    exponent += static_cast<std::int64_t>(roundToMaximumDigits(digits));
    auto const lastSignificant = digits.find_last_not_of('0');
    exponent += static_cast<std::int64_t>(digits.size() - lastSignificant - 1);
    digits.resize(lastSignificant + 1);

    if (exponent < minimumExponent || exponent > maximumExponent)
        return std::nullopt;
    return Decimal(negative, std::move(digits), static_cast<std::int32_t>(exponent));
}

std::string Decimal::description() const
{
    if (isZero())
        return "0";

    std::string text = m_negative ? "-" : "";
    if (m_exponent >= 0) {
        text += m_significand;
        text.append(static_cast<std::size_t>(m_exponent), '0');
        return text;
    }

    auto const fractionDigits = static_cast<std::size_t>(-static_cast<std::int64_t>(m_exponent));
    if (fractionDigits >= m_significand.size()) {
        text += "0.";
        text.append(fractionDigits - m_significand.size(), '0');
        text += m_significand;
    } else {
        std::size_t const integerDigits = m_significand.size() - fractionDigits;
        text.append(m_significand, 0, integerDigits);
        text += '.';
        text.append(m_significand, integerDigits);
    }
    return text;
}

std::optional<Decimal> Decimal::scaledByPowerOfTen(std::int64_t power) const
{
    if (isZero())
        return *this;
    // Both bounds are far inside int64, so the sum cannot overflow.
    constexpr std::int64_t reach = 1'000'000;
    if (power < -reach || power > reach)
        return std::nullopt;
    std::int64_t const exponent = m_exponent + power;
    if (exponent < minimumExponent || exponent > maximumExponent)
        return std::nullopt;
    return Decimal(m_negative, m_significand, static_cast<std::int32_t>(exponent));
}

}

std::size_t std::hash<Foundation::Decimal>::operator()(const Foundation::Decimal& value) const noexcept
{
    using Foundation::hashCombine;
    std::size_t seed = 0;
    hashCombine(seed, value.isNegative());
    hashCombine(seed, value.significand());
    hashCombine(seed, value.exponent());
    return seed;
}
