#include "base/Decimal.h"

#include "base/StringPrintf.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// An unsigned integer of up to 4096 bits, 32-bit words with the least significant first. Every
// finite double is such an integer times a power of two, and no conversion here needs more: the
// largest is a divisor of 10^1131 with the dividend shifted 64 bits past it.
class CBig {
public:
    explicit CBig(std::uint64_t v = 0)
    {
        for (; v; v >>= 32)
            Push(static_cast<std::uint32_t>(v));
    }
    bool IsZero() const { return m_nWords == 0; }
    size_t BitLength() const
    {
        if (m_nWords == 0)
            return 0;
        size_t bits = 32 * (m_nWords - 1);
        for (std::uint32_t top = m_awWords[m_nWords - 1]; top; top >>= 1)
            ++bits;
        return bits;
    }
    bool Bit(size_t i) const { return i / 32 < m_nWords && (m_awWords[i / 32] >> (i % 32) & 1); }
    // Whether any bit below `i` is set.
    bool AnyBelow(size_t i) const
    {
        for (size_t w = 0; w < m_nWords && 32 * w < i; ++w) {
            std::uint32_t mask = i - 32 * w >= 32 ? ~0u : (1u << (i - 32 * w)) - 1;
            if (m_awWords[w] & mask)
                return true;
        }
        return false;
    }
    std::uint64_t Low64() const
    {
        std::uint64_t v = 0;
        for (size_t w = std::min<size_t>(2, m_nWords); w-- > 0;)
            v = v << 32 | m_awWords[w];
        return v;
    }
    void MulAdd(std::uint32_t factor, std::uint32_t add = 0)
    {
        std::uint64_t carry = add;
        for (size_t w = 0; w < m_nWords; ++w) {
            carry += static_cast<std::uint64_t>(m_awWords[w]) * factor;
            m_awWords[w] = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry)
            Push(static_cast<std::uint32_t>(carry));
        Trim();
    }
    void MulPow10(int n)
    {
        for (; n >= 9; n -= 9)
            MulAdd(1000000000u);
        std::uint32_t rest = 1;
        while (n-- > 0)
            rest *= 10;
        MulAdd(rest);
    }
    std::uint32_t DivSmall(std::uint32_t divisor)
    {
        std::uint64_t rest = 0;
        for (size_t w = m_nWords; w-- > 0;) {
            rest = rest << 32 | m_awWords[w];
            m_awWords[w] = static_cast<std::uint32_t>(rest / divisor);
            rest %= divisor;
        }
        Trim();
        return static_cast<std::uint32_t>(rest);
    }
    void ShiftLeft(size_t bits)
    {
        if (IsZero() || bits == 0)
            return;
        const size_t words = bits / 32, rest = bits % 32;
        const size_t from = m_nWords;
        m_nWords = std::min(kWords, m_nWords + words + 1);
        for (size_t w = m_nWords; w-- > 0;) {
            const std::uint32_t high = w >= words && w - words < from ? m_awWords[w - words] : 0;
            const std::uint32_t low = rest && w >= words + 1 && w - words - 1 < from ? m_awWords[w - words - 1] : 0;
            m_awWords[w] = rest ? (high << rest | low >> (32 - rest)) : high;
        }
        Trim();
    }
    void ShiftRight(size_t bits)
    {
        const size_t words = bits / 32, rest = bits % 32;
        if (words >= m_nWords) {
            m_nWords = 0;
            return;
        }
        const size_t count = m_nWords - words;
        for (size_t i = 0; i < count; ++i) {
            const std::uint32_t next = i + 1 < count ? m_awWords[i + words + 1] : 0;
            m_awWords[i] = rest ? (m_awWords[i + words] >> rest | next << (32 - rest)) : m_awWords[i + words];
        }
        m_nWords = count;
        Trim();
    }
    int Compare(const CBig& o) const
    {
        if (m_nWords != o.m_nWords)
            return m_nWords < o.m_nWords ? -1 : 1;
        for (size_t w = m_nWords; w-- > 0;)
            if (m_awWords[w] != o.m_awWords[w])
                return m_awWords[w] < o.m_awWords[w] ? -1 : 1;
        return 0;
    }
    // *this -= o, with o <= *this.
    void Subtract(const CBig& o)
    {
        std::int64_t borrow = 0;
        for (size_t w = 0; w < m_nWords; ++w) {
            std::int64_t d = static_cast<std::int64_t>(m_awWords[w]) - borrow - (w < o.m_nWords ? o.m_awWords[w] : 0);
            borrow = d < 0;
            m_awWords[w] = static_cast<std::uint32_t>(d + (borrow << 32));
        }
        Trim();
    }
    void SetBit(size_t i)
    {
        while (m_nWords <= i / 32)
            Push(0);
        m_awWords[i / 32] |= 1u << (i % 32);
    }
    // Decimal digits, most significant first; "0" for zero.
    std::string Digits() const
    {
        CBig n = *this;
        std::string digits;
        while (!n.IsZero()) {
            std::uint32_t chunk = n.DivSmall(1000000000u);
            for (int i = 0; i < 9 && (chunk || !n.IsZero()); ++i, chunk /= 10)
                digits.insert(digits.begin(), static_cast<char>('0' + chunk % 10));
        }
        return digits.empty() ? "0" : digits;
    }

private:
    static constexpr size_t kWords = 128;
    void Push(std::uint32_t w)
    {
        if (m_nWords < kWords)
            m_awWords[m_nWords++] = w;
    }
    void Trim()
    {
        while (m_nWords > 0 && m_awWords[m_nWords - 1] == 0)
            --m_nWords;
    }
    std::uint32_t m_awWords[kWords];
    size_t m_nWords = 0;
};

// quotient = floor(dividend / divisor), dividend becomes the remainder.
CBig Divide(CBig& dividend, const CBig& divisor)
{
    CBig quotient, rest;
    for (size_t i = dividend.BitLength(); i-- > 0;) {
        rest.ShiftLeft(1);
        if (dividend.Bit(i))
            rest.MulAdd(1, 1);
        if (rest.Compare(divisor) >= 0) {
            rest.Subtract(divisor);
            quotient.SetBit(i);
        }
    }
    dividend = rest;
    return quotient;
}

// |value| = mantissa * 2^exponent with an integer mantissa below 2^53.
void Split(double value, std::uint64_t& mantissa, int& exponent)
{
    int e = 0;
    const double fraction = std::frexp(std::fabs(value), &e);
    mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent = e - 53;
}

// The exact decimal expansion of a finite |value|: digits without leading zeros and the number of
// them before the point (negative or zero when the value is below 0.1). Empty for zero.
std::string ExactDigits(double value, int& pointAt)
{
    std::uint64_t mantissa;
    int exponent;
    Split(value, mantissa, exponent);
    CBig whole(mantissa), fraction;
    size_t fractionBits = 0;
    if (exponent >= 0) {
        whole.ShiftLeft(static_cast<size_t>(exponent));
    } else {
        fractionBits = static_cast<size_t>(-exponent);
        fraction = whole;
        whole.ShiftRight(fractionBits);
        CBig back = whole;
        back.ShiftLeft(fractionBits);
        fraction.Subtract(back);
    }
    std::string digits = whole.IsZero() ? std::string() : whole.Digits();
    pointAt = static_cast<int>(digits.size());
    // Each step multiplies the fraction by ten; the digit is what passes 2^fractionBits.
    while (!fraction.IsZero()) {
        fraction.MulAdd(10);
        CBig digit = fraction;
        digit.ShiftRight(fractionBits);
        const char d = static_cast<char>('0' + digit.Low64());
        CBig back = digit;
        back.ShiftLeft(fractionBits);
        fraction.Subtract(back);
        if (digits.empty() && d == '0')
            --pointAt;
        else
            digits += d;
    }
    return digits;
}

// Keeps the first `keep` digits, rounded half to even by what follows; a carry out of the first
// digit moves the point.
std::string RoundDigits(const std::string& digits, size_t keep, int& pointAt)
{
    if (digits.size() <= keep)
        return digits;
    std::string kept = digits.substr(0, keep);
    const char next = digits[keep];
    const bool beyond = digits.find_first_not_of('0', keep + 1) != std::string::npos;
    const bool odd = !kept.empty() && (kept.back() - '0') % 2 == 1;
    if (next > '5' || (next == '5' && (beyond || odd))) {
        size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++pointAt;
        } else {
            ++kept[i - 1];
        }
    }
    return kept;
}

const char* NonFinite(double value)
{
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string FormatFixed2(double value)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    int pointAt = 0;
    std::string digits = ExactDigits(value, pointAt);
    // Zeros between the point and the first digit, then exactly two places after the point.
    if (pointAt < 0) {
        digits.insert(0, static_cast<size_t>(-pointAt), '0');
        pointAt = 0;
    }
    digits = RoundDigits(digits, static_cast<size_t>(pointAt + 2), pointAt);
    const size_t places = static_cast<size_t>(pointAt + 2);
    if (digits.size() < places)
        digits.append(places - digits.size(), '0');
    std::string text = std::signbit(value) ? "-" : "";
    if (pointAt > 0)
        text.append(digits, 0, static_cast<size_t>(pointAt));
    else
        text += '0';
    text += '.';
    return text.append(digits, static_cast<size_t>(pointAt), 2);
}

std::string FormatSignificant15(double value)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0)
        return sign + "0";
    int pointAt = 0;
    std::string digits = RoundDigits(ExactDigits(value, pointAt), 15, pointAt);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = pointAt - 1;
    std::string text;
    if (exponent < -4 || exponent >= 15) {
        text = digits.substr(0, 1);
        if (digits.size() > 1)
            text.append(1, '.').append(digits, 1, std::string::npos);
        text += StringPrintf("e%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    } else if (pointAt <= 0) {
        text.assign("0.").append(static_cast<size_t>(-pointAt), '0').append(digits);
    } else {
        if (digits.size() < static_cast<size_t>(pointAt))
            digits.append(static_cast<size_t>(pointAt) - digits.size(), '0');
        text = digits.substr(0, static_cast<size_t>(pointAt));
        if (digits.size() > static_cast<size_t>(pointAt))
            text.append(1, '.').append(digits, static_cast<size_t>(pointAt), std::string::npos);
    }
    return sign + text;
}

double ParseCheckedDecimal(const std::string& text)
{
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    // The significant digits as an integer and the power of ten that scales them.
    std::string digits;
    long scale = 0;
    bool pointSeen = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else if (c >= '0' && c <= '9') {
            if (pointSeen)
                --scale;
            if (!digits.empty() || c != '0')
                digits += c;
        } else {
            break;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool down = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        long e = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            e = e < 100000 ? e * 10 + (text[i] - '0') : e;
        scale += down ? -e : e;
    }
    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty())
        return zero;
    // Beyond 800 digits only whether more follow matters (it breaks a tie): a last "1" says so.
    if (digits.size() > 800) {
        const bool more = digits.find_first_not_of('0', 800) != std::string::npos;
        scale += static_cast<long>(digits.size()) - 800;
        digits.resize(800);
        if (more) {
            digits += '1';
            --scale;
        }
    }
    const long magnitude = scale + static_cast<long>(digits.size());  // value < 10^magnitude
    if (magnitude > 310)
        return negative ? -HUGE_VAL : HUGE_VAL;
    if (magnitude < -330)
        return zero;

    CBig n;
    for (char c : digits)
        n.MulAdd(10, static_cast<std::uint32_t>(c - '0'));
    // value = q * 2^binary, plus something below one unit of q when `sticky`.
    CBig q;
    long binary = 0;
    bool sticky = false;
    if (scale >= 0) {
        n.MulPow10(static_cast<int>(scale));
        q = n;
    } else {
        CBig divisor(1);
        divisor.MulPow10(static_cast<int>(-scale));
        const long shift = std::max(0L, static_cast<long>(divisor.BitLength()) - static_cast<long>(n.BitLength()) + 64);
        n.ShiftLeft(static_cast<size_t>(shift));
        q = Divide(n, divisor);
        sticky = !n.IsZero();
        binary = -shift;
    }
    // Round q to the 53 bits of a double, fewer where the result is subnormal.
    const long length = static_cast<long>(q.BitLength());
    const long top = length - 1 + binary;  // binary exponent of the leading bit
    if (top > 1023)
        return negative ? -HUGE_VAL : HUGE_VAL;
    long precision = 53;
    if (top < -1022)
        precision -= -1022 - top;
    const long drop = length - precision;
    std::uint64_t mantissa;
    if (drop <= 0) {
        mantissa = q.Low64();
    } else {
        const bool half = q.Bit(static_cast<size_t>(drop - 1));
        const bool rest = sticky || q.AnyBelow(static_cast<size_t>(drop - 1));
        CBig kept = q;
        kept.ShiftRight(static_cast<size_t>(drop));
        mantissa = kept.Low64();
        if (half && (rest || (mantissa & 1)))
            ++mantissa;
        binary += drop;
    }
    const double result = std::ldexp(static_cast<double>(mantissa), static_cast<int>(binary));
    return negative ? -result : result;
}
