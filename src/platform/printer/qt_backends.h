// Backends that paint with Qt: into a PDF file, and onto a system (CUPS) printer, which is sent
// such a file laid out for its printable area. A page looks the same on paper and in the file.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/printer/backend.h"

class QFile;
class QPainter;
class QPdfWriter;

namespace kvor::printer {

// The unprintable margins of a sheet, in points; the painter's origin is their top left corner.
struct SheetMargins {
  double left = kPdfMarginPoints, top = kPdfMarginPoints;
  double right = kPdfMarginPoints, bottom = kPdfMarginPoints;
};

// Makes sure a QGuiApplication exists (see the .cpp); throws Fault when it cannot.
void EnsureGuiApplication();

// Names of the table's text fonts whose host family this machine lacks.
std::set<std::string> MissingHostFonts();

class PagePainter;

// Writes the job as one PDF file of A4 pages into `folder` (created when missing), named
// base_name + ".pdf", or base_name + "-2.pdf", "-3.pdf" ... when that name is taken: an earlier
// file is never overwritten.
class PdfBackend : public Backend {
 public:
  PdfBackend(std::string folder, std::string base_name, std::string title,
             SheetMargins margins = {});
  ~PdfBackend() override;
  void BeginDocument(int orientation) override;
  void NewPage() override;
  void DrawText(const TextRun& run) override;
  void DrawPicture(const PictureRun& run, const Picture& picture) override;
  void EndDocument() override;
  void Abort() noexcept override;
  std::string OutputPath() const override { return path_; }
  double PrintableHeight() const override;

 private:
  std::string ReserveFile();

  std::string folder_, base_name_, title_, path_;
  SheetMargins margins_;
  std::unique_ptr<QFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<PagePainter> painter_;
};

// Sends the job to a CUPS print queue by its device name, as one PDF document titled `title`. A
// queue that is stopped, refuses jobs or cannot be reached is a Fault when the document begins
// and again when it is handed on; a job that is dropped never reaches the queue.
class SystemPrinterBackend : public Backend {
 public:
  SystemPrinterBackend(std::string device_name, std::string title);
  ~SystemPrinterBackend() override;
  void BeginDocument(int orientation) override;
  void NewPage() override;
  void DrawText(const TextRun& run) override;
  void DrawPicture(const PictureRun& run, const Picture& picture) override;
  void EndDocument() override;
  void Abort() noexcept override;
  double PrintableHeight() const override;

 private:
  std::string device_name_, title_;
  std::unique_ptr<PdfBackend> document_;  // the pages, in a temporary file until the end
};

}  // namespace kvor::printer
