// The printer table and list as the real trv00381 reads them at start-up.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/demo_process.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

class Printers : public DemoProcess {
 protected:
  std::string Table() { return demo + "/C/WINKVOR/SYSTEM/SKRIVARE.DAT"; }
};

// The invoice printer of the table is chosen at start-up; a wrong code in the table stops the
// start-up; an invoice printer missing from the list sends the choice to the list.
TEST_F(Printers, TheTablesInvoicePrinterIsChosenOrTheFaultTold) {
  WriteFile(Table(), "05 kvor PDF\r\n");
  std::string t = Run("show CboPrnt\ntype TxtNmmr 241001\nshow CboPrnt\nshow CmdBryt\n");
  EXPECT_EQ(MessageLines(t), "");
  EXPECT_NE(t.find("show CboPrnt \" kvor PDF\" off back #808080 fore #000000 list 1 at -1\n"),
            std::string::npos)
      << t;
  // The lookup applies the choice: the print controls come on.
  EXPECT_NE(t.find("show CboPrnt \" kvor PDF\" on back #FFFFFF fore #000000 list 1 at -1\n"
                   "show CmdBryt \"AvBryt\" on back #FFC0C0 fore #000000\n"),
            std::string::npos)
      << t;

  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);  // each run consumes the link area
  WriteFile(Table(), "05KVOR PDF\r\n16Laser i lagret\r\n");
  t = Run("type TxtNmmr 241001\n");
  EXPECT_EQ(MessageLines(t),
            "message 2 Filen 'C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT' måste UPPDATERAS via "
            "SIP-menyns SKRIVARE-program! ¶ Data: 16Laser i lagret\n");
  EXPECT_EQ(t.find("focus TxtNmmr"), std::string::npos) << t;
  EXPECT_NE(t.find("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"), std::string::npos) << t;

  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);
  WriteFile(Table(), "05LASER 3\r\n");
  t = Run("type TxtNmmr 241001\nshow CboPrnt\n");
  EXPECT_EQ(MessageLines(t),
            "message 2 Vald SKRIVARE fick EJ någon TRÄFF på INSTALLERADE skrivare! ¶ Gör KONTROLL "
            "av SKRIVARE via SKRIVAR-programmet!\n");
  EXPECT_NE(t.find("focus CboPrnt\n"), std::string::npos) << t;
}

}  // namespace
}  // namespace kvor::test
