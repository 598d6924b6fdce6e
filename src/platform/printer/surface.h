// One print job on one printer: the printer object the page engine and the layout code drive.
// Text is placed by character column and twips; the surface computes every position itself from
// the font table (fonts.h) and hands finished runs to its backend.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/printer/backend.h"
#include "platform/printer/fault.h"
#include "platform/printer/picture.h"

namespace kvor::printer {

class Surface {
 public:
  // hidden_fonts: upper-case names of fonts this workstation lacks although the table has them.
  explicit Surface(std::unique_ptr<Backend> backend, std::set<std::string> hidden_fonts = {});
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  // A job that was begun and not ended is dropped.
  ~Surface();

  // 1 portrait, 2 landscape; takes effect at the first page. Fault once the document has begun.
  void SetOrientation(int orientation);
  int Orientation() const { return orientation_; }

  // A name the table lacks or the workstation hides leaves the font as it was: reading
  // FontName() back tells the caller whether the font was set.
  void SetFontName(const std::string& name);
  const std::string& FontName() const { return font_name_; }
  void SetFontSize(double points);  // Fault unless 0 < points <= 2160
  double FontSize() const { return font_size_; }
  void SetFontBold(bool bold) { bold_ = bold; }
  bool FontBold() const { return bold_; }

  // Vertical print position, twips from the top of the printable area. Setting it starts a new
  // line there.
  double CurrentY() const { return current_y_; }
  void SetCurrentY(double twips) {
    current_y_ = twips;
    line_end_ = 0;
  }
  // Width of one character column and height of one line of the current font, in twips.
  double ColumnWidth() const;
  double LineHeight() const;

  // Prints cp1252 text starting `column` character widths from the left edge of the printable
  // area, at CurrentY. As a printer's tab does, a column that the line has already passed is
  // taken on the next line: CurrentY first moves down by one line of the current font. With
  // advance, CurrentY then moves down by one line of the current font. An empty text prints
  // nothing and takes no tab; with advance it ends the line.
  void Print(int column, const std::string& text, bool advance);
  // Paints the picture scaled into the rectangle; a width or height of 0 is the picture's own.
  void PaintPicture(const Picture& picture, double x, double y, double width, double height);
  // The next output goes to the top of a new sheet.
  void NewPage();
  // Completes the document; a job that drew nothing, or whose backend failed, sends none.
  void EndDoc();
  // Drops the running document (the user cancelled). A backend fault does the same by itself.
  void Abort() noexcept;

  // Pages of the running or last document.
  int Pages() const { return pages_; }
  std::string OutputPath() const { return backend_->OutputPath(); }
  double PrintableHeight() const { return backend_->PrintableHeight(); }

 private:
  template <typename Step>
  void Output(Step step);

  std::unique_ptr<Backend> backend_;
  std::set<std::string> hidden_fonts_;
  int orientation_ = 1;
  std::string font_name_ = "COURIER NEW";
  double font_size_ = 10;
  bool bold_ = false;
  double current_y_ = 0;
  double line_end_ = 0;  // x where the last text printed on the current line ends
  bool in_document_ = false;
  bool page_due_ = false;  // NewPage was called: the next output starts a new sheet
  bool failed_ = false;    // a backend fault stopped the job; cleared by EndDoc
  int pages_ = 0;
};

}  // namespace kvor::printer
