// Decimal: an exact base-10 number of up to 38 significant digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// The value is sign × significand × 10^exponent, kept normalized (no leading
// or trailing zeros in the significand, zero has an empty significand and
// exponent 0) so that equal values compare and hash equal.
class Decimal {
public:
    static constexpr std::size_t maximumSignificantDigits = 38;
    static constexpr std::int32_t minimumExponent = -128;
    static constexpr std::int32_t maximumExponent = 127;

    // Zero.
    Decimal() = default;

    static Decimal fromInteger(std::int64_t value);

    // Reads a number in JSON's number syntax ("-12.50", "3e-2", "0").
    // Digits beyond the 38th significant one are rounded half to even.
    // Nothing for text that is not such a number, or whose exponent falls
    // outside [minimumExponent, maximumExponent] once normalized.
    //   fromString("12.50")->description() == "12.5"
    //   fromString("1e2")->description() == "100"
    static std::optional<Decimal> fromString(std::string_view text);

    // The value in plain positional notation, without exponent and without
    // padding: "0", "-0.05", "1200". This is also the exact decimal text that
    // number formatters take.
    std::string description() const;

    // The value × 10^power, exactly; nothing when the exponent would leave
    // the supported range.
    //   fromString("1234")->scaledByPowerOfTen(-3)->description() == "1.234"
    std::optional<Decimal> scaledByPowerOfTen(std::int64_t power) const;

    bool isZero() const { return m_significand.empty(); }
    bool isNegative() const { return m_negative; }
    const std::string& significand() const { return m_significand; }
    std::int32_t exponent() const { return m_exponent; }

    friend bool operator==(const Decimal&, const Decimal&) = default;

private:
    Decimal(bool negative, std::string significand, std::int32_t exponent);

    bool m_negative = false;
    std::string m_significand;
    std::int32_t m_exponent = 0;
};

}

template <>
struct std::hash<Foundation::Decimal> {
    std::size_t operator()(const Foundation::Decimal& value) const noexcept;
};
