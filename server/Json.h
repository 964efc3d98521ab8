// The little JSON a webhook needs: an object of string members, always valid UTF-8 and valid
// JSON whatever bytes come in, since the receiver refuses the whole message otherwise.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The text with every invalid UTF-8 sequence (a stray byte, a cut or overlong sequence, a
// surrogate, a code point beyond U+10FFFF) replaced by U+FFFD.
std::string ValidUtf8(const std::string& bytes);

// Code points of valid UTF-8.
std::size_t CodePointCount(const std::string& utf8);

// Valid UTF-8 cut to its first `maxCodePoints` code points; a sequence is never split.
std::string CutCodePoints(const std::string& utf8, std::size_t maxCodePoints);

// A JSON string literal of the text, quotes included: " and \ escaped, control characters as
// \n \r \t \b \f or \u00XX, invalid UTF-8 as U+FFFD.
std::string JsonString(const std::string& text);

// {"name":"value",...} in the order given.
std::string JsonObjectOfStrings(const std::vector<std::pair<std::string, std::string>>& members);
