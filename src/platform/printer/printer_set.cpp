#include "platform/printer/printer_set.h"

#include <QPrinterInfo>
#include <QStringList>

#include "common/cp1252.h"
#include "platform/printer/qt_backends.h"

namespace kvor::printer {

namespace {

// A job name or key as part of a file name: letters, digits, '-' and '_' stay, anything else
// (blanks, slashes, letters outside ASCII) becomes '_'.
std::string FileNamePart(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_';
    out += plain ? c : '_';
  }
  return out;
}

}  // namespace

PrinterSet::PrinterSet(std::string pdf_folder, bool list_system_printers)
    : pdf_folder_(std::move(pdf_folder)), now_([] { return std::time(nullptr); }) {
  if (!list_system_printers) return;
  // Without a running CUPS server the list is simply empty.
  EnsureGuiApplication();
  for (const QString& name : QPrinterInfo::availablePrinterNames())
    system_printers_.push_back(FromUtf8(name.toStdString()));
}

std::vector<std::string> PrinterSet::DeviceNames() const {
  std::vector<std::string> names = system_printers_;
  names.push_back(kPdfPrinter);
  for (const auto& [name, jobs] : recording_) names.push_back(name);
  return names;
}

std::string PrinterSet::PdfBaseName(const JobInfo& job) const {
  const std::time_t now = now_();
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string base = FileNamePart(job.name.empty() ? "UTSKRIFT" : job.name);
  if (!job.key.empty()) base += "-" + FileNamePart(job.key);
  return base + "-" + stamp;
}

std::unique_ptr<Surface> PrinterSet::Open(const std::string& device_name, const JobInfo& job) {
  std::unique_ptr<Backend> backend;
  bool recording = false;
  if (device_name == kPdfPrinter) {
    backend = std::make_unique<PdfBackend>(pdf_folder_, PdfBaseName(job), job.Title());
  } else if (auto it = recording_.find(device_name); it != recording_.end()) {
    auto recorded = std::make_shared<RecordedJob>();
    it->second.push_back(recorded);
    recording = true;
    backend = std::make_unique<RecordingBackend>(recorded);
  } else {
    for (const std::string& name : system_printers_)
      if (name == device_name) backend = std::make_unique<SystemPrinterBackend>(name, job.Title());
  }
  if (!backend) return nullptr;
  // Painted output needs the host fonts: one the machine lacks is a font the workstation lacks.
  std::set<std::string> hidden = hidden_fonts_;
  if (!recording) hidden.merge(MissingHostFonts());
  return std::make_unique<Surface>(std::move(backend), std::move(hidden));
}

void PrinterSet::AddRecordingPrinter(const std::string& device_name) {
  recording_[device_name];
}

const std::vector<std::shared_ptr<RecordedJob>>& PrinterSet::RecordedJobs(
    const std::string& device_name) {
  return recording_[device_name];
}

void PrinterSet::HideFont(const std::string& name) {
  hidden_fonts_.insert(Upper(name));
}

}  // namespace kvor::printer
