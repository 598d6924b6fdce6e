// End-to-end tests of the real trv00381: a sample installation that the real kvor tool writes
// into a fresh folder, and headless runs of the program on it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/pg_server.h"
#include "support/register_snapshot.h"
#include "support/run_program.h"

namespace kvor::test {

class DemoProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    const ProcessResult made = RunProgram(Kvor(), WithRegisters({"demo", demo}), dir);
    ASSERT_EQ(made.code, 0) << made.err;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // Plays `actions` on the installation (its drives as `drives` gives them, today is 2026-12-04)
  // with the options `more`; what the program printed and its exit code.
  ProcessResult Play(const std::string& actions, const std::vector<std::string>& more = {},
                     Environment env = {}) {
    WriteFile(dir + "/actions.txt", actions);
    std::vector<std::string> args = drives;
    args.insert(args.end(), {"--headless", dir + "/actions.txt", "--today", "2026-12-04"});
    args.insert(args.end(), more.begin(), more.end());
    // On the server, the option is given and wins over a KVOR_REGISTERS that leads nowhere.
    if (!registers.empty())
      env.insert(env.begin(),
                 {"KVOR_REGISTERS", "postgresql:///postgres?host=" + dir + "/nowhere"});
    return RunProgram(Trv00381(), WithRegisters(args), dir, env, before_exec);
  }
  // The same with the printers KVOR PDF, writing into pdf_dir, and the queues of cups_server if
  // set, for a run that ends well: the transcript.
  std::string Run(const std::string& actions, const std::vector<std::string>& more = {}) {
    std::vector<std::string> options{"--pdf-dir", pdf_dir};
    if (cups_server.empty()) options.push_back("--pdf-only");
    options.insert(options.end(), more.begin(), more.end());
    const ProcessResult r =
        Play(actions, options,
             cups_server.empty() ? Environment{} : Environment{{"CUPS_SERVER", cups_server}});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }

  // `kvor reg ARGS` on the installation; its standard output.
  std::string Reg(const std::vector<std::string>& args) {
    std::vector<std::string> all{"reg", "--root", demo};
    all.insert(all.end(), args.begin(), args.end());
    // On the server, kvor reg finds it through KVOR_REGISTERS.
    const ProcessResult r = RunProgram(Kvor(), all, dir, {{"KVOR_REGISTERS", registers}});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }
  // The installation's EDI settings send to the FTP server on this port of 127.0.0.1.
  void SendTo(const std::string& port) {
    Reg({"put", "SYS-EDIH", "--keep", "EDIH_P001=001", "EDIH_P267=" + port});
  }

  // Invoice header `number` of company 001 as stored ("" when there is none).
  std::string Header(const std::string& number) const {
    const auto h = Records("SVF-FTHD", "001F" + number);
    return h.empty() ? std::string() : h[0];
  }
  // The records of register `reg` ("SVF-FTSP") whose keys begin with prefix, in key order, from
  // the files or the server, wherever the installation keeps them.
  std::vector<std::string> Records(const std::string& reg, const std::string& prefix) const {
    const std::string from = reg + ".BTR " + prefix;
    const StoredState all = Snapshot().records;
    std::vector<std::string> out;
    for (auto r = all.lower_bound(from); r != all.end() && r->first.starts_with(from); ++r)
      out.push_back(r->second.data);
    return out;
  }

  // Every record of the registers of the installation at root (demo unless told), from the files
  // or the server.
  RegisterSnapshot Snapshot(std::string root = "") const {
    if (!registers.empty()) return ServerSnapshot(registers, "KVOR");
    return SnapshotRegisters(root.empty() ? demo : root);
  }

  // The PDF files in `folder` (the runs' --pdf-dir unless told), in name order.
  std::vector<std::string> Pdfs(std::string folder = "") const {
    if (folder.empty()) folder = pdf_dir;
    std::vector<std::string> out;
    if (std::filesystem::exists(folder))
      for (const auto& e : std::filesystem::directory_iterator(folder))
        out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  // The page count pdfinfo gives, -1 when it gives none.
  int PdfPages(const std::string& pdf) const {
    std::smatch m;
    const std::string info = Tool("pdfinfo", {pdf});
    return std::regex_search(info, m, std::regex("\nPages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
  }
  // One page's text as pdftotext lays it out.
  std::string PdfText(const std::string& pdf, int page) const {
    const std::string p = std::to_string(page);
    return Tool("pdftotext", {"-layout", "-f", p, "-l", p, pdf, "-"});
  }
  // A program of the system's (a PDF or barcode tool) that must succeed; its standard output.
  std::string Tool(const std::string& program, const std::vector<std::string>& args) const {
    const ProcessResult r = RunProgram("/usr/bin/" + program, args, dir);
    EXPECT_EQ(r.code, 0) << program << ": " << r.err;
    return r.out;
  }

  // The command line of kvor or trv00381 with the registers' place.
  std::vector<std::string> WithRegisters(std::vector<std::string> args) const {
    if (!registers.empty()) args.insert(args.end(), {"--registers", registers});
    return args;
  }

  std::string dir = TempFolder();
  std::string demo = dir + "/demo";
  std::string pdf_dir = dir + "/pdf";
  std::vector<std::string> drives{"--root", demo};
  BeforeExec before_exec;   // for the runs of trv00381
  std::string cups_server;  // for the runs of trv00381: a CUPS_SERVER whose queues they list
  std::string registers;    // the register server's URL; empty: the register files
};

// A DemoProcess fixture with its registers in files or on the test binary's server, by the
// parameter (true: the server); instantiate with KVOR_DEMO_ON_BOTH_STORES(suite).
template <class Fixture>
class OnBothStores : public Fixture, public ::testing::WithParamInterface<bool> {
 protected:
  OnBothStores() {
    if (GetParam()) this->registers = PgServer::Get().url();
  }
  void SetUp() override {
    if (GetParam()) {
      ASSERT_EQ(PgServer::Get().error(), "");
    }
    Fixture::SetUp();
  }
};

#define KVOR_DEMO_ON_BOTH_STORES(suite) \
  INSTANTIATE_TEST_SUITE_P(             \
      Stores, suite, ::testing::Bool(), \
      [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Server" : "Files"; })

}  // namespace kvor::test
