// The XML writer's refusals and the clean-up of single values, on the sample installation's
// folders, read back from the file it writes.
#include "einvoice/xml_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "registers/database.h"
#include "support/scripted_run.h"

namespace kvor::einvoice {
namespace {

class XmlFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx().install.data_drive = "C:";
    ctx().install.data_folder = "KVOR   ";
  }
  Context& ctx() { return run.ctx(); }
  std::string Folder() { return run.install.Host("C:\\KVOR   \\FAKTUROR\\"); }
  void Customer(const std::string& file_type, const std::string& identity_type) {
    registers::Record& k = registers::Fields(ctx(), "KRK-KUND");
    k.Set("KUND_P004", "SE");
    k.Set("KUND_P006", "100");
    k.Set("KUND_P009", "BERG");
    k.Set("KUND_P410", file_type);
    k.Set("KUND_P461", identity_type);
  }

  test::ScriptedRun run;
};

TEST_F(XmlFile, ABadNameOrTypeIsRefusedAndNoFileIsMade) {
  std::string expected;
  for (const char bad : std::string("\\/:*?\"<>|")) {
    const std::string base = std::string("001-24") + bad + "001";
    int16_t err = 0;
    OpenInvoiceXml(ctx(), 1, "F", base, err);
    EXPECT_EQ(err, 1) << base;
    expected += "message 3 Namnet '" + base +
                "' för XML-filen är EJ tillåtet! ¶ FÖRETAGS-id och FAKTURA-nummer får EJ "
                "innehålla tecknen \\/:*?\"<>| !\n";
  }
  // Every operation refuses another type than invoice or credit note.
  int16_t err = 0;
  OpenInvoiceXml(ctx(), 1, "X", "001-241001", err);
  WriteInvoiceHeader(ctx(), 1, "", err);
  WriteInvoiceRow(ctx(), 1, "f", err);
  EndInvoiceXml(ctx(), 1, "FK", err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(test::MessageLines(run.Lines()),
            expected +
                "message 3 Modulen EFTKNFIL för ÖPPNA avsedd XML får FELAKTIG parameter! ¶ "
                "Typen: X\n"
                "message 3 Modulen EFTKNFIL för HUVUD till XML får FELAKTIG parameter! ¶ Typen: \n"
                "message 3 Modulen EFTKNFIL för RADER till XML får FELAKTIG parameter! ¶ Typen: f\n"
                "message 3 Modulen EFTKNFIL för SLUT till XML får FELAKTIG parameter! ¶ "
                "Typen: FK\n");
  EXPECT_TRUE(std::filesystem::is_empty(Folder()));
}

TEST_F(XmlFile, ACreditNoteKeepsTheSignsOfItsTextsAndOtherFileTypesTakeNoRows) {
  int16_t err = 0;
  OpenInvoiceXml(ctx(), 1, "K", "001-241099", err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().einvoice.path, "C:\\KVOR   \\KREDITAR\\001-241099.XML");
  Customer("H", "N");  // identity: the customer number, whatever its length
  ctx().einvoice.values["H_ANM_LA1"] = "Pris < 100  &  fritt   levererat";
  WriteInvoiceHeader(ctx(), 1, "K", err);
  ASSERT_EQ(err, 0);
  ctx().einvoice.values["R_Beskrivning1"] = "Furu  <  S\xE5gad";  // "Sågad"
  WriteInvoiceRow(ctx(), 1, "K", err);
  Customer("B", "N");
  WriteInvoiceRow(ctx(), 1, "K", err);  // a file type that takes no rows
  EXPECT_EQ(err, 0);
  EndInvoiceXml(ctx(), 1, "K", err);
  ctx().text_files.CloseAll();

  const std::string file =
      test::ReadFile(run.install.Host("C:\\KVOR   \\KREDITAR\\001-241099.XML"));
  for (const char* line :
       {"<H_Typ_av_faktura>381</H_Typ_av_faktura>", "<H_K_Identitet>SE100BERG</H_K_Identitet>",
        "<H_ANM_LA1>Pris < 100 & fritt levererat</H_ANM_LA1>",
        "<H_REF_Koparens_referens>SE100BERG</H_REF_Koparens_referens>",
        "<R_Beskrivning1>Furu < S\xC3\xA5gad</R_Beskrivning1>"})
    EXPECT_NE(file.find("  " + std::string(line) + "\r\n"), std::string::npos) << line;
  // One row block: the second row came for a customer whose file type takes none.
  EXPECT_EQ(file.find("<FAKTURARAD>"), file.rfind("<FAKTURARAD>"));
}

}  // namespace
}  // namespace kvor::einvoice
