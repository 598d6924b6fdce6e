// What a print job draws, in the order the surface hands it over. Positions are twips from the
// top left corner of the printable area; the surface has computed every one of them.
#pragma once

#include <string>

#include "platform/printer/picture.h"

namespace kvor::printer {

// The unprintable border of KVOR PDF's pages on every side, in points: 12 points (4.2 mm), the
// border a typical office laser printer keeps, so that a page looks the same in the file as it
// comes out of such a printer.
inline constexpr double kPdfMarginPoints = 12;
// The printable area of an A4 portrait page inside that border, in twips (20 to the point).
inline constexpr double kPdfPrintableWidth = 210 / 25.4 * 1440 - 2 * 20 * kPdfMarginPoints;
inline constexpr double kPdfPrintableHeight = 297 / 25.4 * 1440 - 2 * 20 * kPdfMarginPoints;

struct TextRun {
  int page = 0;    // 1 for the first page of the job
  int column = 0;  // character column the run was printed at
  double x = 0, y = 0;
  std::string font;  // name as the program set it, upper case
  double size = 0;   // points
  bool bold = false;
  std::string text;  // Windows-1252
};

struct PictureRun {
  int page = 0;
  double x = 0, y = 0, width = 0, height = 0;
  std::string source;  // host path the picture was loaded from
};

// A destination for print jobs. Every operation throws Fault when the destination fails.
class Backend {
 public:
  virtual ~Backend() = default;
  // Starts the document and its first page; orientation 1 portrait, 2 landscape.
  virtual void BeginDocument(int orientation) = 0;
  virtual void NewPage() = 0;
  virtual void DrawText(const TextRun& run) = 0;
  virtual void DrawPicture(const PictureRun& run, const Picture& picture) = 0;
  // Hands the finished document on (to the print queue, to its file).
  virtual void EndDocument() = 0;
  // Drops a begun document; never throws.
  virtual void Abort() noexcept = 0;
  // Where the document went, when it went to a file.
  virtual std::string OutputPath() const { return {}; }
  // The height of a page's printable area in twips, as the destination reports it once the
  // document has begun; KVOR PDF's until then, and for destinations without a sheet of their own.
  virtual double PrintableHeight() const { return kPdfPrintableHeight; }
};

}  // namespace kvor::printer
