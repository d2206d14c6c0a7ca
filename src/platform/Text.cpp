#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <limits>

namespace almanouk {
namespace {

// Unicode of every code page 437 byte; 0 shows as a blank.
constexpr std::array<char32_t, 256> kCp437Unicode = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642,
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0,
    0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0};

// Windows-1252 bytes 0x80-0x9F; 0 where the code page leaves them undefined.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-8 of every code page 437 byte, built once so that screen dumps stay cheap.
const std::array<std::string, 256>& cp437Utf8Table() {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> t;
    for (int c = 0; c < 256; ++c) appendUtf8(t[c], kCp437Unicode[c]);
    return t;
  }();
  return table;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string mid(std::string_view text, int start, int count) {
  if (start < 1) start = 1;
  if (count <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return std::string(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count)));
}

std::string mid(std::string_view text, int start) {
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size()) return {};
  return std::string(text.substr(static_cast<std::size_t>(start) - 1));
}

std::string left(std::string_view text, int count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string right(std::string_view text, int count) {
  if (count <= 0) return {};
  auto n = static_cast<std::size_t>(count);
  if (n >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - n));
}

int find(std::string_view text, std::string_view what, int start) {
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size() + 1) return 0;
  auto pos = text.find(what, static_cast<std::size_t>(start) - 1);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

namespace {

// Past the leading blanks and the sign: where the digits start, and whether negative.
std::size_t digitsStart(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

double numericValue(std::string_view text) {
  bool negative = false;
  std::size_t i = digitsStart(text, negative);
  double value = 0;
  while (i < text.size() && isDigit(text[i])) value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && isDigit(text[i]); ++i, scale /= 10) value += (text[i] - '0') * scale;
  }
  return negative ? -value : value;
}

int roundToInt(double value) {
  constexpr double kMax = std::numeric_limits<int>::max();
  constexpr double kMin = std::numeric_limits<int>::min();
  if (!(value == value)) return 0;  // NaN
  if (value >= kMax) return std::numeric_limits<int>::max();
  if (value <= kMin) return std::numeric_limits<int>::min();
  double lower = std::floor(value);
  double fraction = value - lower;
  auto result = static_cast<long long>(lower);
  if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0))) ++result;
  return static_cast<int>(result);
}

// Whole numbers, nearly all that are read, need no floating point.
int intValue(std::string_view text) {
  constexpr std::int64_t kBeyondInt = std::int64_t{1} << 40;
  bool negative = false;
  std::size_t i = digitsStart(text, negative);
  std::int64_t value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) value = std::min(value * 10 + (text[i] - '0'), kBeyondInt);
  if (i < text.size() && text[i] == '.') return roundToInt(numericValue(text));
  if (negative) value = -value;
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string toText(int value) { return std::to_string(value); }

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string padRight(std::string_view text, int width) {
  std::string out = left(text, width);
  if (static_cast<int>(out.size()) < width) out.append(static_cast<std::size_t>(width) - out.size(), ' ');
  return out;
}

std::string repeat(char c, int count) { return count > 0 ? std::string(static_cast<std::size_t>(count), c) : std::string(); }

char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) > text.size()) return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char next = byte(pos);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (next & 0x3F);
    ++pos;
  }
  return cp;
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();)
    if (decodeUtf8(text, pos) == 0xFFFD) return false;
  return true;
}

int codePointToCp437(char32_t codePoint) {
  if (codePoint >= 0x20 && codePoint < 0x7F) return static_cast<int>(codePoint);
  for (int c = 1; c < 256; ++c)
    if (kCp437Unicode[c] == codePoint && c != 0x20) return c;
  return -1;
}

std::string_view transliteration(char32_t codePoint) {
  switch (codePoint) {
    case U'€': return "EUR";
    case U'‘': case U'’': case U'‚': case U'‛': case U'′': return "'";
    case U'“': case U'”': case U'„': case U'‟': case U'″': return "\"";
    case U'‐': case U'‑': case U'‒': case U'–': case U'—': case U'―': case U'−': return "-";
    case U'…': return "...";
    case U'Ĳ': return "IJ";
    case U'ĳ': return "ij";
    case U'‹': return "<";
    case U'›': return ">";
    case U'\u2009': case U'\u202F': case U'\u2002': case U'\u2003': return " ";
    default: return "?";
  }
}

namespace {

bool isControl(int c) { return c < 0x20 || c == 0x7F; }

// In a line of text a tab or a line end is a blank, and a glyph on a control
// byte has to be spelled. The house (⌂) on byte 127 is no control to a line.
void appendCp437(std::string& out, char32_t codePoint, bool controlGlyphs) {
  int c = codePoint < 0x80 ? static_cast<int>(codePoint) : codePointToCp437(codePoint);
  if (!controlGlyphs && codePoint < 0x80 && isControl(c))
    out += ' ';
  else if (c < 0 || (!controlGlyphs && c < 0x20))
    out += transliteration(codePoint);
  else
    out += static_cast<char>(c);
}

}  // namespace

std::string cp437(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) appendCp437(out, decodeUtf8(utf8, pos), true);
  return out;
}

std::string utf8ToCp437(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) appendCp437(out, decodeUtf8(utf8, pos), false);
  return out;
}

std::string_view cp437CharToUtf8(unsigned char c) { return cp437Utf8Table()[c]; }

std::string cp437ToUtf8(std::string_view textCp437) {
  std::string out;
  out.reserve(textCp437.size());
  for (char c : textCp437) out += cp437CharToUtf8(static_cast<unsigned char>(c));
  return out;
}

std::string windows1252ToUtf8(std::string_view textWindows1252) {
  std::string out;
  out.reserve(textWindows1252.size());
  for (char ch : textWindows1252) {
    auto c = static_cast<unsigned char>(ch);
    char32_t cp = c;
    if (c >= 0x80 && c < 0xA0) cp = kWindows1252High[c - 0x80] ? kWindows1252High[c - 0x80] : 0xFFFD;
    appendUtf8(out, cp);
  }
  return out;
}

namespace {

// Code page 437's letters with an accent, from 0x80, as the plain letter;
// 0 where the character stays itself.
constexpr char kPlain[] = {
    'c', 'u', 'e', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'i', 'i', 'i', 'a', 'a',  // 80-8F Ç ü é â ä à å ç ê ë è ï î ì Ä Å
    'e', 0,   0,   'o', 'o', 'o', 'u', 'u', 'y', 'o', 'u', 0,   0,   0,   0,   0,    // 90-9F É æ Æ ô ö ò û ù ÿ Ö Ü
    'a', 'i', 'o', 'u', 'n', 'n',                                                    // A0-A5 á í ó ú ñ Ñ
};

constexpr std::array<char, 256> plainTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    char plain = static_cast<char>(c);
    if (c >= 'A' && c <= 'Z') plain = static_cast<char>(c - 'A' + 'a');
    if (c >= 0x80 && c < 0x80 + static_cast<int>(sizeof kPlain) && kPlain[c - 0x80]) plain = kPlain[c - 0x80];
    table[static_cast<std::size_t>(c)] = plain;
  }
  return table;
}

constexpr std::array<char, 256> kPlainLower = plainTable();

}  // namespace

char plainLower(char c) { return kPlainLower[static_cast<unsigned char>(c)]; }

std::uint64_t textFingerprint(std::initializer_list<std::string_view> texts) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (std::string_view text : texts) {
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    hash = (hash ^ 0xFF) * 1099511628211ULL;
  }
  return hash;
}

}  // namespace almanouk
