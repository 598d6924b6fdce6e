#include "platform/printer/surface.h"

#include <utility>

#include "common/cp1252.h"
#include "platform/printer/fonts.h"

namespace kvor::printer {

Surface::Surface(std::unique_ptr<Backend> backend, std::set<std::string> hidden_fonts)
    : backend_(std::move(backend)), hidden_fonts_(std::move(hidden_fonts)) {}

Surface::~Surface() {
  Abort();
}

void Surface::SetOrientation(int orientation) {
  if (orientation != 1 && orientation != 2)
    throw Fault(kInvalidValue, "Ogiltig orientering " + std::to_string(orientation));
  if (in_document_ && orientation != orientation_)
    throw Fault(kSetWithinPage, "Orienteringen kan inte ändras inne i ett dokument"_w);
  orientation_ = orientation;
}

void Surface::SetFontName(const std::string& name) {
  const FontMetrics* font = FindFont(name);
  if (font == nullptr || hidden_fonts_.count(std::string(font->name)) > 0) return;
  font_name_ = std::string(font->name);
}

void Surface::SetFontSize(double points) {
  if (!(points > 0 && points <= 2160))
    throw Fault(kInvalidValue, "Ogiltig teckenstorlek " + std::to_string(points));
  font_size_ = points;
}

double Surface::ColumnWidth() const {
  return AdvanceTwips(*FindFont(font_name_), font_size_, bold_);
}

double Surface::LineHeight() const {
  return LineHeightTwips(*FindFont(font_name_), font_size_);
}

// A backend fault drops the document: what was drawn cannot be handed on whole any more, and
// a half-written file must not be taken for a finished one. Later output is refused with a
// fault of its own until EndDoc closes the job.
template <typename Step>
void Surface::Output(Step step) {
  if (failed_) throw Fault(kPrinterError, "Utskriften stoppades av ett tidigare fel");
  try {
    if (!in_document_) {
      backend_->BeginDocument(orientation_);
      in_document_ = true;
      pages_ = 1;
    }
    if (page_due_) {
      page_due_ = false;
      backend_->NewPage();
      ++pages_;
    }
    step();
  } catch (const Fault&) {
    failed_ = true;
    Abort();
    throw;
  }
}

void Surface::Print(int column, const std::string& text, bool advance) {
  if (!text.empty()) {
    const double x = column * ColumnWidth();
    // Half a twip absorbs the rounding of column widths that do not divide a twip evenly.
    if (x < line_end_ - 0.5) current_y_ += LineHeight();
    Output([&] {
      backend_->DrawText(
          TextRun{pages_, column, x, current_y_, font_name_, font_size_, bold_, text});
    });
    line_end_ = x + static_cast<double>(text.size()) * ColumnWidth();
  } else {
    Output([] {});
  }
  if (advance) {
    current_y_ += LineHeight();
    line_end_ = 0;
  }
}

void Surface::PaintPicture(const Picture& picture, double x, double y, double width,
                           double height) {
  if (picture.Empty()) throw Fault(kInvalidValue, "Ingen bild är laddad"_w);
  Output([&] {
    backend_->DrawPicture(
        PictureRun{pages_, x, y, width == 0 ? picture.WidthTwips() : width,
                   height == 0 ? picture.HeightTwips() : height, picture.Source()},
        picture);
  });
}

void Surface::NewPage() {
  // The sheet is taken at the next output, so that a page break at the very end of a job adds no
  // empty page; a new page before any output still leaves the first sheet empty, as on the
  // printer. A job stopped by an earlier fault refuses it at once.
  if (failed_) throw Fault(kPrinterError, "Utskriften stoppades av ett tidigare fel");
  if (page_due_) Output([] {});  // two breaks in a row leave an empty sheet between them
  page_due_ = true;
  current_y_ = 0;
  line_end_ = 0;
}

void Surface::EndDoc() {
  failed_ = false;
  page_due_ = false;
  current_y_ = 0;
  line_end_ = 0;
  if (!in_document_) return;
  in_document_ = false;
  backend_->EndDocument();
}

void Surface::Abort() noexcept {
  page_due_ = false;
  if (!in_document_) return;
  in_document_ = false;
  backend_->Abort();
}

}  // namespace kvor::printer
