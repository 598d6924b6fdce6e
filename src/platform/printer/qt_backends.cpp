#include "platform/printer/qt_backends.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "common/cp1252.h"
#include "platform/printer/fault.h"
#include "platform/printer/fonts.h"

namespace kvor::printer {

// Qt lays out fonts and paints images only once a QGuiApplication exists. The windowed program
// has one; the headless program and the tools have none, so the first Qt backend (or the
// printer list) creates one here and keeps it for the rest of the process: created once, never
// deleted, as Qt allows one application object a process. Without a display to talk to (no
// DISPLAY or WAYLAND_DISPLAY) and no platform chosen by the user, QT_QPA_PLATFORM is set to
// "offscreen" first, which needs no window system and still has the fonts and the painters.
void EnsureGuiApplication() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app != nullptr) {
    if (qobject_cast<QGuiApplication*>(app) == nullptr)
      throw Fault(kPrinterError, "Utskrift kräver ett grafiskt fönstersystem"_w);
    return;
  }
  auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
  };
  if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "kvor";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

std::set<std::string> MissingHostFonts() {
  EnsureGuiApplication();
  std::set<std::string> missing;
  for (const std::string_view name : {"COURIER NEW", "MS SANS SERIF"}) {
    const FontMetrics* font = FindFont(name);
    if (!QFontDatabase::hasFamily(QString::fromUtf8(font->family.data(), font->family.size())))
      missing.insert(std::string(name));
  }
  return missing;
}

// Paints runs on any paged Qt device whose painter origin is the top left corner of the
// printable area. Twips become device units through the device's resolution.
class PagePainter {
 public:
  bool Begin(QPaintDevice* device) {
    scale_ = device->logicalDpiX() / 1440.0;
    font_ = nullptr;  // a new painter starts with the default font
    return painter_.begin(device);
  }
  bool End() { return painter_.isActive() && painter_.end(); }
  bool Active() const { return painter_.isActive(); }

  void DrawText(const TextRun& run) {
    const FontMetrics* font = FindFont(run.font);
    if (font == nullptr) return;
    if (font->kind == FontKind::Code39) return DrawCode39(run);
    // Code 128 needs check characters the caller's text does not carry: nothing is drawn.
    if (font->kind != FontKind::Text) return;
    UseFont(*font, run.size, run.bold);
    const std::string utf8 = ToUtf8(run.text);
    painter_.drawText(QPointF(Device(run.x), Device(run.y + AscentTwips(*font, run.size))),
                      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  }

  // A picture painted on many pages is one image of the document: the same QImage each time,
  // so that the PDF holds its pixels once.
  void DrawPicture(const PictureRun& run, const Picture& picture) {
    QImage& image = images_[picture.Rgb().data()];
    if (image.isNull())
      image = QImage(picture.Rgb().data(), picture.Width(), picture.Height(), picture.Width() * 3,
                     QImage::Format_RGB888)
                  .copy();
    painter_.drawImage(QRectF(Device(run.x), Device(run.y), Device(run.width), Device(run.height)),
                       image);
  }

 private:
  double Device(double twips) const { return twips * scale_; }

  // Sets the painter's font unless it is the one of the run before: rows of a page mostly share
  // one font, and a new QFont for every run costs as much as drawing it.
  void UseFont(const FontMetrics& font, double size, bool bold) {
    if (&font == font_ && size == font_size_ && bold == font_bold_) return;
    font_ = &font;
    font_size_ = size;
    font_bold_ = bold;
    QFont qfont(QString::fromUtf8(font.family.data(), font.family.size()));
    qfont.setPointSizeF(size);
    qfont.setBold(bold);
    qfont.setKerning(false);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    painter_.setFont(qfont);
    painter_.setPen(Qt::black);
  }
  const FontMetrics* font_ = nullptr;
  double font_size_ = 0;
  bool font_bold_ = false;

  // Images by the pixels of the picture they were made from; a picture lives at least as long
  // as the document that paints it (the program keeps its loaded pictures).
  std::map<const void*, QImage> images_;

  // Each character is one Code 39 symbol, bars from the top of the line down the em.
  void DrawCode39(const TextRun& run) {
    const double module = Code39ModuleTwips(run.size);
    const double advance = AdvanceTwips(*FindFont(run.font), run.size, false);
    const double height = run.size * 20;
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      double x = run.x + i * advance;
      const std::string_view bars = Code39Pattern(run.text[i]);
      for (std::size_t k = 0; k < bars.size(); ++k) {
        const double width = (bars[k] == 'w' ? 3 : 1) * module;
        if (k % 2 == 0)
          painter_.fillRect(QRectF(Device(x), Device(run.y), Device(width), Device(height)),
                            Qt::black);
        x += width;
      }
    }
  }

  QPainter painter_;
  double scale_ = 1;
};

namespace {

QPageLayout::Orientation QtOrientation(int orientation) {
  return orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace

// PDF output: the writer runs at 1440 dots an inch, so device units are twips. The sheet is A4
// with a printable area inset by the margins (kPdfMarginPoints on every side for KVOR PDF).
PdfBackend::PdfBackend(std::string folder, std::string base_name, std::string title,
                       SheetMargins margins)
    : folder_(std::move(folder)),
      base_name_(std::move(base_name)),
      title_(std::move(title)),
      margins_(margins) {}

PdfBackend::~PdfBackend() {
  Abort();
}

std::string PdfBackend::ReserveFile() {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) throw Fault(kPathNotFound, "PDF-mappen " + folder_ + " kan inte skapas: " + ec.message());
  for (int n = 1;; ++n) {
    const std::string path =
        folder_ + "/" + base_name_ + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".pdf";
    // O_EXCL claims the name, so two jobs of the same second never share a file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST)
      throw Fault(errno == ENOSPC ? kDiskFull : kFileAccess,
                  "Filen " + path + " kan inte skrivas: " + std::strerror(errno));
  }
}

void PdfBackend::BeginDocument(int orientation) {
  EnsureGuiApplication();
  path_ = ReserveFile();
  file_ = std::make_unique<QFile>(QString::fromStdString(path_));
  if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    const std::string reason = file_->errorString().toStdString();
    file_.reset();
    std::error_code ec;
    std::filesystem::remove(path_, ec);
    throw Fault(kFileAccess, "Filen " + path_ + " kan inte skrivas: " + reason);
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setResolution(1440);
  writer_->setTitle(QString::fromStdString(ToUtf8(title_)));
  writer_->setCreator("kvor");
  const QMarginsF margins(margins_.left, margins_.top, margins_.right, margins_.bottom);
  writer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QtOrientation(orientation), margins,
                                     QPageLayout::Point));
  painter_ = std::make_unique<PagePainter>();
  if (!painter_->Begin(writer_.get())) {
    Abort();
    throw Fault(kFileAccess, "PDF-filen " + path_ + " kan inte påbörjas"_w);
  }
}

double PdfBackend::PrintableHeight() const {
  if (!writer_) return Backend::PrintableHeight();
  return writer_->pageLayout().paintRect(QPageLayout::Point).height() * 20;
}

void PdfBackend::NewPage() {
  if (!writer_->newPage())
    throw Fault(kFileAccess, "PDF-filen " + path_ + " kan inte få en ny sida"_w);
}

void PdfBackend::DrawText(const TextRun& run) {
  painter_->DrawText(run);
}

void PdfBackend::DrawPicture(const PictureRun& run, const Picture& picture) {
  painter_->DrawPicture(run, picture);
}

void PdfBackend::EndDocument() {
  const bool painted = painter_->End();
  const bool flushed = file_->flush();
  const QFileDevice::FileError error = file_->error();
  const std::string reason = file_->errorString().toStdString();
  file_->close();
  painter_.reset();
  writer_.reset();
  file_.reset();
  if (error != QFileDevice::NoError || !flushed || !painted) {
    std::filesystem::remove(path_);
    throw Fault(error == QFileDevice::ResourceError ? kDiskFull : kFileAccess,
                "Filen " + path_ + " kan inte skrivas: " + reason);
  }
}

void PdfBackend::Abort() noexcept {
  if (!painter_) return;
  painter_->End();
  painter_.reset();
  writer_.reset();
  file_.reset();
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

namespace {

// What keeps a CUPS queue from printing a job now, "" when nothing does. CUPS itself takes a job
// into a stopped queue without complaint, where it would wait while the clerk is told it printed.
std::string QueueProblem(const std::string& device_name) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, ToUtf8(device_name).c_str(), nullptr);
  if (dest == nullptr) return " nås inte: "_w + FromUtf8(cupsLastErrorString());
  auto option = [dest](const char* name) {
    const char* value = cupsGetOption(name, dest->num_options, dest->options);
    return std::string(value != nullptr ? value : "");
  };
  std::string problem;
  if (option("printer-state") == std::to_string(IPP_PSTATE_STOPPED))
    problem = " är stoppad"_w;
  else if (option("printer-is-accepting-jobs") == "false")
    problem = " tar inte emot utskrifter";
  cupsFreeDests(1, dest);
  return problem;
}

void CheckQueue(const std::string& device_name) {
  const std::string problem = QueueProblem(device_name);
  if (!problem.empty()) throw Fault(kPrinterError, "Skrivaren " + device_name + problem);
}

// The printable area of an A4 sheet as the queue's driver reports it (QPrinter's page rectangle).
SheetMargins QueueMargins(const std::string& device_name, int orientation) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(ToUtf8(device_name)));
  if (!printer.isValid())
    throw Fault(kPrinterError, "Skrivaren " + device_name + " är inte tillgänglig"_w);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QtOrientation(orientation));
  const QMarginsF m = printer.pageLayout().margins(QPageLayout::Point);
  return {m.left(), m.top(), m.right(), m.bottom()};
}

}  // namespace

// The job is painted as a PDF file laid out for the queue's printable area, and handed to CUPS
// at the end. The program sends it itself rather than through QPrinter, which drops the answer
// of CUPS: a refused job would be reported as printed.
SystemPrinterBackend::SystemPrinterBackend(std::string device_name, std::string title)
    : device_name_(std::move(device_name)), title_(std::move(title)) {}

SystemPrinterBackend::~SystemPrinterBackend() = default;

void SystemPrinterBackend::BeginDocument(int orientation) {
  EnsureGuiApplication();
  CheckQueue(device_name_);
  document_ = std::make_unique<PdfBackend>(std::filesystem::temp_directory_path().string(),
                                           "kvor-utskrift-" + std::to_string(getpid()), title_,
                                           QueueMargins(device_name_, orientation));
  document_->BeginDocument(orientation);
}

double SystemPrinterBackend::PrintableHeight() const {
  return document_ ? document_->PrintableHeight() : Backend::PrintableHeight();
}

void SystemPrinterBackend::NewPage() {
  document_->NewPage();
}

void SystemPrinterBackend::DrawText(const TextRun& run) {
  document_->DrawText(run);
}

void SystemPrinterBackend::DrawPicture(const PictureRun& run, const Picture& picture) {
  document_->DrawPicture(run, picture);
}

void SystemPrinterBackend::EndDocument() {
  document_->EndDocument();
  const std::string file = document_->OutputPath();
  document_.reset();
  // Asked again: the queue may have been stopped while the pages were painted.
  std::string problem = QueueProblem(device_name_);
  if (problem.empty()) {
    cups_option_t* options = nullptr;
    const int count = cupsAddOption("media", "A4", 0, &options);
    if (cupsPrintFile(ToUtf8(device_name_).c_str(), file.c_str(), ToUtf8(title_).c_str(), count,
                      options) == 0)
      problem = " tog inte emot utskriften: " + FromUtf8(cupsLastErrorString());
    cupsFreeOptions(count, options);
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (!problem.empty()) throw Fault(kPrinterError, "Skrivaren " + device_name_ + problem);
}

void SystemPrinterBackend::Abort() noexcept {
  document_.reset();  // the file is removed unsent
}

}  // namespace kvor::printer
