#include "server/Json.h"

namespace {

// Length of the valid sequence at `i`, or 0; `*pValid` gets how many bytes of it were valid,
// so that a cut sequence is replaced by one U+FFFD, not one per byte.
std::size_t SequenceAt(const std::string& s, std::size_t i, std::size_t* pValid)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    *pValid = 1;
    if (c < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // overlong
        if (c == 0xED) high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;   // overlong
        if (c == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= s.size())
            return 0;
        const unsigned char t = static_cast<unsigned char>(s[i + k]);
        if (k == 1 ? (t < low || t > high) : (t < 0x80 || t > 0xBF))
            return 0;
        *pValid = k + 1;
    }
    return length;
}

const char kReplacement[] = "\xEF\xBF\xBD";

}  // namespace

std::string ValidUtf8(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t valid = 0;
        const std::size_t length = SequenceAt(bytes, i, &valid);
        if (length) {
            out.append(bytes, i, length);
            i += length;
        } else {
            out += kReplacement;
            i += valid;
        }
    }
    return out;
}

std::size_t CodePointCount(const std::string& utf8)
{
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string CutCodePoints(const std::string& utf8, std::size_t maxCodePoints)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && n++ == maxCodePoints)
            return utf8.substr(0, i);
    return utf8;
}

std::string JsonString(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    const std::string valid = ValidUtf8(text);
    std::string out = "\"";
    for (char c : valid) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}
