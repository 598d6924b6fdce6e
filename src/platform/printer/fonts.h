// The fonts the printer offers and their metrics. Every position on the page is computed from
// this one table, so the recording backend and the painting backends place text identically.
#pragma once

#include <string>
#include <string_view>

namespace kvor::printer {

enum class FontKind {
  Text,     // drawn with the host font named by `family`
  Code39,   // drawn as Code 39 bars, one symbol per character
  Code128,  // metrics only: positions are computed, nothing is drawn
};

struct FontMetrics {
  std::string_view name;    // the name the program asks for, upper case
  std::string_view family;  // host font family that draws it (Text fonts)
  FontKind kind;
  double units_per_em;  // design units per em; one em is the point size
  double advance;       // character column width, regular
  double bold_advance;  // character column width, bold
  double ascent;        // top of the line to the baseline
  double descent;       // baseline to the bottom of the line
};

// The font of that name (compared in upper case), or nullptr.
const FontMetrics* FindFont(std::string_view name);

// Metrics at a size in points, in twips (1/1440 inch; one point is 20 twips).
double AdvanceTwips(const FontMetrics& font, double points, bool bold);
double LineHeightTwips(const FontMetrics& font, double points);
double AscentTwips(const FontMetrics& font, double points);

// Code 39 bars of one character: nine widths, bar and space alternating from a bar, 'n' narrow
// (one module) and 'w' wide (three modules); empty for a character Code 39 lacks.
std::string_view Code39Pattern(char c);
// Width of one narrow module at a size in points, in twips.
double Code39ModuleTwips(double points);

}  // namespace kvor::printer
