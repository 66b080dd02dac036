// Windows-1252, the single-byte code page of the settings file and of the
// character classes that the angle text is read by.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Cp1252 {

// The byte that stands for a Unicode code point, or -1 when the code page
// cannot hold it.
int FromUnicode(char32_t codePoint);

// The code point of a byte. The five bytes that the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the
// same number, so that every byte survives a round trip.
char32_t ToUnicode(unsigned char byte);

// Upper case as the code page does it: a-z, the accented small letters,
// š œ ž and ÿ; everything else is returned unchanged.
unsigned char UpperCase(unsigned char byte);

// One character of a UTF-8 text. An invalid byte is a character of its own
// with `valid` false and codePoint U+FFFD.
struct Utf8Char {
    char32_t codePoint;
    bool valid;
    std::size_t offset;  // first byte in the text
    std::size_t length;  // number of bytes
};

// Splits UTF-8 text into characters; never fails.
std::vector<Utf8Char> DecodeUtf8(std::string_view text);

bool IsValidUtf8(std::string_view text);

void AppendUtf8(std::string& out, char32_t codePoint);

// Windows-1252 bytes to UTF-8.
std::string ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes; a character the code page cannot hold, and an
// invalid byte, become `replacement`.
std::string FromUtf8(std::string_view text, char replacement = '?');

}  // namespace Cp1252
