// The printers a workstation offers: the system's print queues in their order, then the
// always-present PDF printer that writes each job as a file into the PDF folder.
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/printer/recording.h"
#include "platform/printer/surface.h"

namespace kvor::printer {

// What a job is called: its PDF file is named job name + "-" + key (when there is one) + "-" +
// date and time, e.g. FAKTURA-001F000123-20261205-143012.pdf.
struct JobInfo {
  std::string name = "UTSKRIFT";
  std::string key;
  // The document's title, which names what is printed: "FAKTURA 001F000123".
  std::string Title() const { return key.empty() ? name : name + " " + key; }
};

class PrinterSet {
 public:
  static constexpr const char* kPdfPrinter = "KVOR PDF";

  // pdf_folder: host folder of the PDF printer's files, created at the first job when missing.
  // list_system_printers false leaves the system's queues out (tests on a shared machine).
  explicit PrinterSet(std::string pdf_folder, bool list_system_printers = true);

  // Device names in the order offered: system printers, the PDF printer, test printers.
  std::vector<std::string> DeviceNames() const;
  // A surface for a new job on the printer of that exact device name; nullptr when no printer
  // has that name. A text font whose host family is not installed counts as missing. Throws
  // Fault when Qt cannot paint in this process.
  std::unique_ptr<Surface> Open(const std::string& device_name, const JobInfo& job = {});
  const std::string& PdfFolder() const { return pdf_folder_; }

  // Test hooks: an in-memory printer whose jobs stay readable; a font this workstation lacks;
  // the clock that dates PDF file names.
  void AddRecordingPrinter(const std::string& device_name);
  const std::vector<std::shared_ptr<RecordedJob>>& RecordedJobs(const std::string& device_name);
  void HideFont(const std::string& name);
  void SetClock(std::function<std::time_t()> now) { now_ = std::move(now); }

 private:
  std::string PdfBaseName(const JobInfo& job) const;

  std::string pdf_folder_;
  std::vector<std::string> system_printers_;
  std::map<std::string, std::vector<std::shared_ptr<RecordedJob>>> recording_;
  std::set<std::string> hidden_fonts_;
  std::function<std::time_t()> now_;
};

}  // namespace kvor::printer
