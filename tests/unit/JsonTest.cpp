#include "server/Json.h"

#include <gtest/gtest.h>

namespace {

TEST(Json, EscapesWhatJsonRequires)
{
    const struct {
        std::string in;
        const char* out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\o/", "\"say \\\"hi\\\" \\\\o/\""},
        {"a\nb\rc\td\be\ff", "\"a\\nb\\rc\\td\\be\\ff\""},
        {std::string("nul\0x\x1f\x7f", 7), "\"nul\\u0000x\\u001F\x7f\""},
        {"\xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xAE", "\"\xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xAE\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.in), c.out) << c.in;
    EXPECT_EQ(JsonObjectOfStrings({{"content", "x"}, {"text", "y\""}}), "{\"content\":\"x\",\"text\":\"y\\\"\"}");
    EXPECT_EQ(JsonObjectOfStrings({}), "{}");
}

// Each invalid sequence becomes one U+FFFD per maximal invalid part, valid text stays as it is.
TEST(Json, InvalidUtf8BecomesReplacementCharacters)
{
    const std::string R = "\xEF\xBF\xBD";
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"caf\xE9", "caf" + R},                      // a Windows-1252 byte
        {"\x80\xBF", R + R},                          // stray continuation bytes
        {"\xC0\xAF", R + R},                          // overlong '/'
        {"\xE0\x80\x80", R + R + R},                  // overlong three-byte form
        {"\xED\xA0\x80", R + R + R},                  // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R},          // beyond U+10FFFF
        {"\xE2\x82", R},                              // cut at the end: one replacement
        {"\xE2\x82x", R + "x"},                       // cut in the middle
        {"\xF0\x9F\x8E", R},
        {"\xFF\xFE", R + R},
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},     // U+10FFFF itself
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
    EXPECT_EQ(JsonString("\xE9\""), "\"" + R + "\\\"\"");
}

}  // namespace
