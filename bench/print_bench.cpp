// Printing a long invoice to KVOR PDF as a whole process, beside the floor for this renderer: a
// bare Qt program that draws the same text runs into a PDF with QPdfWriter and QPainter.
//
// The sample installation's invoice 241004 gets 2,000 specification rows (one of its rows copied
// under other lengths, in one transaction straight into SVF-FTSP), so its rows flow over many
// pages. The job is first printed in this process to an in-memory printer, which gives every text
// run with its page, position, font, size and weight; the floor draws exactly those runs. Then
// trv00381 prints the invoice headless to KVOR PDF, each run on a fresh copy of the installation,
// and the floor (this binary again, with --floor) draws the runs, each as a whole process. A run
// counts only when the program told of the finished job with N pages and both PDF files have N
// pages (pdfinfo), else the bench fails. Each run prints once more with the registers copied
// (`kvor reg copy`) onto a PostgreSQL server of the bench's own (a temporary folder, its Unix
// socket only), to compare with the print on files.
//
//   print_bench [RUNS]     (default 5; the installation lives in a fresh folder under $TMPDIR)
//   print_bench --prepare DIR   writes the installation into DIR and the actions to standard
//                               output, to profile one run of the program by hand
#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>
#include "bench_support.h"

#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "demo.h"
#include "frame/options.h"
#include "frame/program.h"
#include "platform/printer/fonts.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/qt_backends.h"
#include "registers/layouts.h"
#include "ui/scripted/scripted_front_end.h"

namespace {

using namespace kvor;
using namespace kvor::bench;

constexpr const char* kInvoice = "241004";
constexpr int kRows = 2000;
constexpr double kTargetRatio = 1.5;
constexpr double kTargetSeconds = 2.0;
// The same print with the registers on a server, against the print on files.
constexpr double kServerTargetRatio = 2.0;
constexpr double kServerTargetSeconds = 1.5;
constexpr const char* kRecorder = "KVOR BENCH";  // the in-memory printer of the recording run

// ---- The floor: bare Qt, none of the program's code ----------------------------------------

// A runs file: "pages N", then one run a line, tab-separated: page, x and baseline in twips
// from the top left corner of the printable area, font family, size in points, bold (0/1),
// text (UTF-8). The page is set up as KVOR PDF sets it up: A4, its border inset, 1440 dpi.
int DrawFloor(const std::string& runs_file, const std::string& pdf_file) {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "print_floor";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  std::ifstream in(runs_file, std::ios::binary);
  std::string line;
  int pages = 0;
  if (!std::getline(in, line) || std::sscanf(line.c_str(), "pages %d", &pages) != 1) return 3;
  QPdfWriter writer(QString::fromStdString(pdf_file));
  writer.setResolution(1440);
  const double border = kvor::printer::kPdfMarginPoints;
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(border, border, border, border), QPageLayout::Point));
  QPainter painter;
  if (!painter.begin(&writer)) return 4;
  painter.setPen(Qt::black);
  int page = 1;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string run_page, x, y, family, size, bold, text;
    std::getline(fields, run_page, '\t');
    std::getline(fields, x, '\t');
    std::getline(fields, y, '\t');
    std::getline(fields, family, '\t');
    std::getline(fields, size, '\t');
    std::getline(fields, bold, '\t');
    std::getline(fields, text);
    for (; page < std::stoi(run_page); ++page)
      if (!writer.newPage()) return 5;
    QFont font(QString::fromStdString(family));
    font.setPointSizeF(std::stod(size));
    font.setBold(bold == "1");
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    painter.drawText(QPointF(std::stod(x), std::stod(y)), QString::fromStdString(text));
  }
  for (; page < pages; ++page)
    if (!writer.newPage()) return 5;
  return painter.end() ? 0 : 6;
}

// ---- The installation and the recorded job --------------------------------------------------

// Copies the first row of the invoice under other lengths (the key's positions 34 to 37) until
// the invoice has kRows rows, in one transaction straight into the file's table
// (src/platform/recman/FORMAT.md); the program reads them back in key order like any others.
void AddRows(const std::string& path) {
  const registers::Layout& layout = *registers::FindLayout("SVF-FTSP");
  sqlite3* db = nullptr;
  sqlite3_stmt* first = nullptr;
  sqlite3_stmt* insert = nullptr;
  const std::string head = std::string("001F") + kInvoice;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(db,
                         "SELECT data, (SELECT count(*) FROM records WHERE substr(key, 1, ?2) = ?1)"
                         " FROM records WHERE substr(key, 1, ?2) = ?1 ORDER BY key LIMIT 1",
                         -1, &first, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO records(key, version, data) VALUES(?1, 1, ?2)",
                         -1, &insert, nullptr) != SQLITE_OK)
    Die(path + ": " + sqlite3_errmsg(db));
  sqlite3_bind_blob(first, 1, head.data(), static_cast<int>(head.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int(first, 2, static_cast<int>(head.size()));
  if (sqlite3_step(first) != SQLITE_ROW) Die(path + ": invoice " + kInvoice + " has no rows");
  std::string data(static_cast<const char*>(sqlite3_column_blob(first, 0)),
                   sqlite3_column_bytes(first, 0));
  int rows = sqlite3_column_int(first, 1);
  sqlite3_finalize(first);
  if (static_cast<int>(data.size()) < layout.key_length) Die(path + ": a row shorter than its key");

  for (int length = 1000; rows < kRows; ++length) {
    if (length > 9999) Die("no more free row keys");
    char text[8];
    std::snprintf(text, sizeof text, "%04d", length);
    data.replace(33, 4, text);  // FTSP_P034, 4 wide
    const std::string key = data.substr(0, layout.key_length);
    sqlite3_bind_blob(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Die(path + ": " + sqlite3_errmsg(db));
    rows += sqlite3_changes(db);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    Die(path + ": " + sqlite3_errmsg(db));
  sqlite3_close_v2(db);
}

std::string Actions() {
  return std::string("type TxtNmmr ") + kInvoice + "\nclick CmdKlar\n";
}

void CopyInstallation(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::filesystem::remove_all(to, ec);
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive, ec);
  if (ec) Die("cannot copy " + from + " to " + to + ": " + ec.message());
}

// Prints the invoice in this process, as the headless program would, with the installation's
// invoice printer (code 05) turned into the in-memory printer; writes the runs file for the
// floor and returns the job's page count.
int RecordJob(const std::string& dir, const std::string& runs_file) {
  std::ofstream(demo::HostPath(dir, "C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT"), std::ios::binary)
      << "05" << kRecorder << "\r\n";
  frame::Options options;
  std::string error;
  if (!frame::ParseOptions({"--root", dir, "--today", "2026-12-04", "--pdf-only"}, options, error))
    Die(error);
  frame::StartInfo start{KVOR_TRV00381, "", {}};
  if (!frame::BuildDriveMap(options, nullptr, start.drives, error)) Die(error);
  std::vector<ui::Action> actions;
  if (!ui::ParseActions(Actions(), actions, error)) Die(error);

  forms::Transcript transcript;
  if (!transcript.Open(dir + "/record.txt")) Die("cannot write " + dir + "/record.txt");
  ui::ScriptedFrontEnd front_end(std::move(actions), transcript);
  const sys::Clock clock(options.today);
  sys::MemoryClipboard clipboard;
  frame::Program program(front_end, clock, clipboard, transcript, start);
  frame::TakePrinterOptions(options, program.ctx.print);
  program.ctx.print.prepare_printers = [](printer::PrinterSet& s) {
    s.AddRecordingPrinter(kRecorder);
  };
  const int code =
      front_end.Play(program.ctx.main.form, [&] { frame::EndProgram(program.ctx, 0); });
  if (code != 0) Die("the recording run ended with " + std::to_string(code));
  if (!program.ctx.print.printers) Die("the recording run listed no printers");
  const auto& jobs = program.ctx.print.printers->RecordedJobs(kRecorder);
  if (jobs.size() != 1 || !jobs[0]->ended)
    Die("the recording run printed no finished job:\n" + ReadAll(dir + "/record.txt"));
  const printer::RecordedJob& job = *jobs[0];

  std::ofstream out(runs_file, std::ios::binary);
  out << "pages " << job.pages << "\n";
  char number[64];
  for (const printer::TextRun& run : job.texts) {
    const printer::FontMetrics* font = printer::FindFont(run.font);
    if (font == nullptr) Die("a run in the unknown font " + run.font);
    // The barcode's bars come from the program's own patterns; the floor draws its text instead.
    const printer::FontMetrics& drawn =
        font->kind == printer::FontKind::Text ? *font : *printer::FindFont("COURIER NEW");
    std::snprintf(number, sizeof number, "%d\t%.3f\t%.3f\t", run.page, run.x,
                  run.y + printer::AscentTwips(drawn, run.size));
    out << number << drawn.family << '\t' << run.size << '\t' << (run.bold ? 1 : 0) << '\t'
        << ToUtf8(run.text) << "\n";
  }
  if (!out) Die("cannot write " + runs_file);
  std::printf("%zu text runs and %zu pictures on %d pages\n", job.texts.size(), job.pictures.size(),
              job.pages);
  return job.pages;
}

// ---- Timing ---------------------------------------------------------------------------------

// The page count pdfinfo reads from a PDF file; -1 when it cannot.
int PdfPages(const std::string& pdf) {
  const std::string command = "pdfinfo '" + pdf + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char line[512];
  int pages = -1;
  while (std::fgets(line, sizeof line, pipe)) std::sscanf(line, "Pages: %d", &pages);
  pclose(pipe);
  return pages;
}

// The one PDF file in a folder; empty when there is not exactly one.
std::string OnlyPdf(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.path().extension() == ".pdf") found.push_back(entry.path().string());
  return found.size() == 1 ? found[0] : std::string();
}

// The page count the program's job-end message told; -1 without the message.
int ToldPages(const std::string& transcript) {
  const std::string head =
      "message 1 \xC3\x96nskad UTSKRIFT av 'FAKTURA' \xC3\xA4r UTF\xC3\x96RD med ";
  const std::size_t at = transcript.find(head);
  if (at == std::string::npos) return -1;
  int pages = -1;
  char tail[8] = {};
  if (std::sscanf(transcript.c_str() + at + head.size(), "%d %7s", &pages, tail) != 2 ||
      std::string(tail) != "sidor!")
    return -1;
  return pages;
}

struct Times {
  std::vector<double> runs;
  double Min() const { return *std::min_element(runs.begin(), runs.end()); }
  double Median() const {
    std::vector<double> t = runs;
    std::sort(t.begin(), t.end());
    return t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
  }
  void Print(const char* what) const {
    std::printf("%-28s min %.3f s, median %.3f s  (", what, Min(), Median());
    for (std::size_t i = 0; i < runs.size(); ++i) std::printf(i ? " %.3f" : "%.3f", runs[i]);
    std::printf(")\n");
  }
};

}  // namespace

int main(int argc, char** argv) {
  the_name = "print_bench";
  if (argc == 4 && std::string(argv[1]) == "--floor") return DrawFloor(argv[2], argv[3]);
  if (argc == 3 && std::string(argv[1]) == "--prepare") {
    // The installation alone, to profile one run of the program by hand.
    std::string error;
    if (!demo::WriteInstallation(argv[2], error)) Die(error);
    AddRows(demo::HostPath(argv[2], "C:\\KVOR   \\SVF\\SVF-FTSP.BTR"));
    std::printf("%s", Actions().c_str());
    return 0;
  }
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  if (runs < 1) Die("usage: print_bench [RUNS | --prepare DIR]");
  const std::string dir = MakeFolder("print-bench");

  const std::string sample = dir + "/sample", installation = dir + "/run";
  std::string error;
  if (!demo::WriteInstallation(sample, error)) Die(error);
  AddRows(demo::HostPath(sample, "C:\\KVOR   \\SVF\\SVF-FTSP.BTR"));

  const std::string runs_file = dir + "/runs.txt";
  CopyInstallation(sample, installation);
  const int pages = RecordJob(installation, runs_file);

  const std::string actions = dir + "/print.txt", transcript = dir + "/transcript.txt";
  const std::string out = dir + "/out", floor_pdf = dir + "/floor.pdf";
  std::ofstream(actions) << Actions();
  const std::vector<std::string> on_files = {
      KVOR_TRV00381, "--root",  installation, "--headless", actions,     "--transcript",
      transcript,    "--today", "2026-12-04", "--pdf-only", "--pdf-dir", out};
  const std::string url = ServerUrl();
  std::vector<std::string> on_server = on_files;
  on_server.insert(on_server.end(), {"--registers", url});
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) Die("cannot find this program's own file");
  const std::vector<std::string> floor = {std::string(self, n), "--floor", runs_file, floor_pdf};

  // One print of the program on a fresh installation (a print marks the invoice printed), its
  // registers as files or copied onto the server, checked against the recorded job.
  auto print = [&](const std::string& nth, const std::vector<std::string>& program) {
    CopyInstallation(sample, installation);
    if (&program == &on_server) CopyRegistersToServer(installation, url);
    std::filesystem::remove_all(out);
    std::filesystem::remove(transcript);
    int code = 0;
    const double seconds = RunOnce(program, code);
    const std::string lines = ReadAll(transcript);
    if (code != 0) Die(nth + ": trv00381 ended with " + std::to_string(code) + "\n" + lines);
    const int told = ToldPages(lines);
    if (told < 0) Die(nth + ": the transcript lacks the job-end message\n" + lines);
    if (told != pages)
      Die(nth + ": the program told of " + std::to_string(told) + " pages, the recorded job had " +
          std::to_string(pages));
    const std::string pdf = OnlyPdf(out);
    if (pdf.empty()) Die(nth + ": not exactly one PDF file in " + out);
    if (PdfPages(pdf) != told)
      Die(nth + ": " + pdf + " has " + std::to_string(PdfPages(pdf)) + " pages, not " +
          std::to_string(told));
    return seconds;
  };

  // Each of the three, in turn, a first time to warm the caches (checked, not counted), then RUNS
  // times.
  Times printed, served, drawn;
  for (int i = 0; i <= runs; ++i) {
    const std::string nth = "run " + std::to_string(i);
    const double seconds = print(nth + " on files", on_files);
    const double server_seconds = print(nth + " on the server", on_server);
    std::filesystem::remove(floor_pdf);
    int code = 0;
    const double floor_seconds = RunOnce(floor, code);
    if (code != 0) Die(nth + ": the floor ended with " + std::to_string(code));
    if (PdfPages(floor_pdf) != pages)
      Die(nth + ": the floor's PDF has " + std::to_string(PdfPages(floor_pdf)) + " pages, not " +
          std::to_string(pages));
    if (i > 0) {
      printed.runs.push_back(seconds);
      served.runs.push_back(server_seconds);
      drawn.runs.push_back(floor_seconds);
    }
  }
  std::filesystem::remove_all(dir);
  the_dir.clear();

  std::printf("invoice %s with %d rows: \"UTF\xC3\x96RD med %d sidor\", pdfinfo %d pages\n",
              kInvoice, kRows, pages, pages);
  printed.Print("trv00381 to KVOR PDF, files:");
  served.Print("trv00381 to KVOR PDF, server:");
  drawn.Print("floor (bare QPdfWriter):");
  const double ratio = printed.Median() / drawn.Median();
  std::printf("files: ratio to the floor %.2f (target %.1f), median %.3f s (target under %.1f s)\n",
              ratio, kTargetRatio, printed.Median(), kTargetSeconds);
  const double server_ratio = served.Median() / printed.Median();
  std::printf("server: ratio to files %.2f (target %.1f), median %.3f s (target under %.1f s)\n",
              server_ratio, kServerTargetRatio, served.Median(), kServerTargetSeconds);
  if (ratio > kTargetRatio || printed.Median() >= kTargetSeconds ||
      server_ratio > kServerTargetRatio || served.Median() >= kServerTargetSeconds)
    std::printf("over target\n");
  std::fflush(stdout);  // before the server is stopped by a child process at exit
  return 0;
}
