// The printer table and list as the real trv00381 reads them at start-up.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

class Printers : public ::testing::Test {
 protected:
  void SetUp() override {
    const ProcessResult made = RunProgram(Kvor(), {"demo", demo}, dir);
    ASSERT_EQ(made.code, 0) << made.err;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Run(const std::string& actions) {
    WriteFile(dir + "/actions.txt", actions);
    const ProcessResult r = RunProgram(
        Trv00381(),
        {"--root", demo, "--headless", dir + "/actions.txt", "--today", "2026-12-04", "--pdf-only"},
        dir);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }
  std::string Table() { return demo + "/C/WINKVOR/SYSTEM/SKRIVARE.DAT"; }

  std::string dir = TempFolder();
  std::string demo = dir + "/demo";
};

TEST_F(Printers, TheInvoicePrinterOfTheTableIsChosenAtStartUp) {
  WriteFile(Table(), "05 kvor PDF\r\n");
  const std::string t = Run("show CboPrnt\ntype TxtNmmr 241001\nshow CboPrnt\nshow CmdBryt\n");
  EXPECT_EQ(MessageLines(t), "");
  EXPECT_NE(t.find("show CboPrnt \" kvor PDF\" off back #808080 fore #000000 list 1 at -1\n"),
            std::string::npos)
      << t;
  // The lookup applies the choice: the print controls come on.
  EXPECT_NE(t.find("show CboPrnt \" kvor PDF\" on back #FFFFFF fore #000000 list 1 at -1\n"
                   "show CmdBryt \"AvBryt\" on back #FFC0C0 fore #000000\n"),
            std::string::npos)
      << t;
}

TEST_F(Printers, AWrongCodeInTheTableStopsTheStartUp) {
  WriteFile(Table(), "05KVOR PDF\r\n16Laser i lagret\r\n");
  const std::string t = Run("type TxtNmmr 241001\n");
  EXPECT_EQ(MessageLines(t),
            "message 2 Filen 'C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT' måste UPPDATERAS via "
            "SIP-menyns SKRIVARE-program! ¶ Data: 16Laser i lagret\n");
  EXPECT_EQ(t.find("focus TxtNmmr"), std::string::npos) << t;
  EXPECT_NE(t.find("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"), std::string::npos) << t;
}

TEST_F(Printers, AnInvoicePrinterMissingFromTheListSendsTheChoiceToTheList) {
  WriteFile(Table(), "05LASER 3\r\n");
  const std::string t = Run("type TxtNmmr 241001\nshow CboPrnt\n");
  EXPECT_EQ(MessageLines(t),
            "message 2 Vald SKRIVARE fick EJ någon TRÄFF på INSTALLERADE skrivare! ¶ Gör KONTROLL "
            "av SKRIVARE via SKRIVAR-programmet!\n");
  EXPECT_NE(t.find("focus CboPrnt\n"), std::string::npos) << t;
}

}  // namespace
}  // namespace kvor::test
