#include "platform/printer/fonts.h"

#include <array>

#include "common/cp1252.h"

namespace kvor::printer {

namespace {

// A Code 39 symbol is 3 wide and 6 narrow elements at 3:1, 15 modules, plus a one-module gap:
// 16 modules a character. A module of 17 twips at 40 points (0.3 mm, well above the 0.19 mm
// minimum of common scanners) scales with the size. In these units one em is 800, the twips of
// 40 points, so the advance is 16 x 17 = 272. The bars fill the em; there is no descent.
constexpr double kCode39Em = 800;
constexpr double kCode39Module = 17;

// Advance widths and line heights from the fonts' own tables (head, hhea, OS/2 of the TrueType
// files of Debian's fonts-liberation 2.1), in design units of 2048 to the em.
// - COURIER NEW: Liberation Mono is its metric twin: advance 1229, win ascent 1705 and descent
//   615 for regular and bold alike.
// - MS SANS SERIF: Liberation Sans. It is the metric twin of Arial, the closest relative of the
//   sans serif screen font that has a free twin; DejaVu Sans runs noticeably wider. A
//   proportional font's column width is its average character width (OS/2 xAvgCharWidth: 1208
//   regular, 1255 bold). Line height is win ascent + win descent (1854 + 434), leaving out the
//   external leading, as a line printed on the page advances by the text height.
// - CODE 128 is offered for its metrics only: 11 modules a character at the Code 39 module.
constexpr std::array<FontMetrics, 5> kFonts{{
    {"COURIER NEW", "Liberation Mono", FontKind::Text, 2048, 1229, 1229, 1705, 615},
    {"MS SANS SERIF", "Liberation Sans", FontKind::Text, 2048, 1208, 1255, 1854, 434},
    {"FREE 3 OF 9 REGULAR", "", FontKind::Code39, kCode39Em, 16 * kCode39Module, 16 * kCode39Module,
     kCode39Em, 0},
    {"FREE 3 OF 9 EXTENDED", "", FontKind::Code39, kCode39Em, 16 * kCode39Module,
     16 * kCode39Module, kCode39Em, 0},
    {"CODE 128", "", FontKind::Code128, kCode39Em, 11 * kCode39Module, 11 * kCode39Module,
     kCode39Em, 0},
}};

struct Code39Symbol {
  char c;
  std::string_view bars;
};

constexpr std::array<Code39Symbol, 44> kCode39{{
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
    {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"},
}};

}  // namespace

const FontMetrics* FindFont(std::string_view name) {
  const std::string upper = Upper(name);
  for (const FontMetrics& font : kFonts)
    if (font.name == upper) return &font;
  return nullptr;
}

double AdvanceTwips(const FontMetrics& font, double points, bool bold) {
  return (bold ? font.bold_advance : font.advance) * points * 20 / font.units_per_em;
}

double LineHeightTwips(const FontMetrics& font, double points) {
  return (font.ascent + font.descent) * points * 20 / font.units_per_em;
}

double AscentTwips(const FontMetrics& font, double points) {
  return font.ascent * points * 20 / font.units_per_em;
}

std::string_view Code39Pattern(char c) {
  for (const Code39Symbol& symbol : kCode39)
    if (symbol.c == c) return symbol.bars;
  return {};
}

double Code39ModuleTwips(double points) {
  return kCode39Module * points * 20 / kCode39Em;
}

}  // namespace kvor::printer
