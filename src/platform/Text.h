#pragma once
// String rules the whole program relies on. Texts are byte strings in code
// page 437; positions count from 1; taking characters beyond the end gives
// fewer characters, never an error. A text in another encoding says so in its
// name (messageUtf8, kStartNoticeWindows1252), and a conversion names both ends.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace almanouk {

// Characters start..start+count-1 (1-based); fewer or none past the end.
std::string mid(std::string_view text, int start, int count);
// Characters from start (1-based) to the end.
std::string mid(std::string_view text, int start);
std::string left(std::string_view text, int count);
std::string right(std::string_view text, int count);

// Position (1-based) of the first occurrence of what, searching from start; 0 when absent.
int find(std::string_view text, std::string_view what, int start = 1);

// Leading blanks, optional sign, digits, optional fraction; 0 for no number.
double numericValue(std::string_view text);
// A number stored into an integer: nearest, halves to even, clamped to the int range.
int roundToInt(double value);
// numericValue stored into an integer.
int intValue(std::string_view text);

std::string toText(int value);
// Lower-cases A-Z only.
std::string lowerAscii(std::string_view text);
// Upper-cases a-z only.
std::string upperAscii(std::string_view text);
// The text cut or padded with blanks to exactly width characters.
std::string padRight(std::string_view text, int width);
std::string repeat(char c, int count);

// A code page 437 letter with an accent as its plain letter, in lower case
// ("é" and "É" as "e"), A-Z in lower case too; any other character as it is.
char plainLower(char c);

// UTF-8 source literal to code page 437; what the code page lacks is transliterated.
std::string cp437(std::string_view utf8);
// UTF-8 text from elsewhere (typed or imported) to code page 437 for a line of
// a file: what the code page lacks is transliterated, never dropped, and a
// character whose glyph sits on a control byte (a line end among them) is too.
std::string utf8ToCp437(std::string_view utf8);
// A character the code page lacks as the nearest text it holds: "EUR" for the
// euro sign, "'" for curly quotes, "-" for dashes, "..." for the ellipsis,
// "IJ" and "ij" for the ligatures; "?" for anything else.
std::string_view transliteration(char32_t codePoint);
// Code page 437 to UTF-8; bytes 1-31 and 127 as their graphic symbols, 0 as blank.
std::string cp437ToUtf8(std::string_view textCp437);
// One code page 437 byte as UTF-8 (same rules as above).
std::string_view cp437CharToUtf8(unsigned char c);
// Windows-1252 to UTF-8 (the one text of the program in that code page).
std::string windows1252ToUtf8(std::string_view textWindows1252);
// Unicode code point to code page 437, or -1 when the code page has no such character.
int codePointToCp437(char32_t codePoint);

// Decodes one UTF-8 sequence at pos (advancing pos); invalid bytes give U+FFFD.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);
// Whether the bytes are UTF-8 throughout (a replacement character counts as not).
bool isValidUtf8(std::string_view text);

// A fingerprint of the texts in order, the same in every run and on every
// system (FNV-1a, each text closed by a byte no text holds): an identity made
// twice of the same texts is the same.
std::uint64_t textFingerprint(std::initializer_list<std::string_view> texts);

}  // namespace almanouk
