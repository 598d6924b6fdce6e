// The XML writer's refusals and the clean-up of single values, on the sample installation's
// folders, read back from the file it writes.
#include "einvoice/xml_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "registers/database.h"
#include "support/scripted_run.h"

namespace kvor::einvoice {
namespace {

TEST(XmlFile, RefusesABadNameOrTypeAndWritesACreditNoteWithTheSignsOfItsTexts) {
  test::ScriptedRun run;
  Context& ctx = run.ctx();
  ctx.install.data_drive = "C:";
  ctx.install.data_folder = "KVOR   ";
  std::string expected;
  for (const char bad : std::string("\\/:*?\"<>|")) {
    const std::string base = std::string("001-24") + bad + "001";
    int16_t err = 0;
    OpenInvoiceXml(ctx, 1, "F", base, err);
    EXPECT_EQ(err, 1) << base;
    expected += "message 3 Namnet '" + base +
                "' för XML-filen är EJ tillåtet! ¶ FÖRETAGS-id och FAKTURA-nummer får EJ "
                "innehålla tecknen \\/:*?\"<>| !\n";
  }
  // Every operation refuses another type than invoice or credit note.
  int16_t err = 0;
  OpenInvoiceXml(ctx, 1, "X", "001-241001", err);
  WriteInvoiceHeader(ctx, 1, "", err);
  WriteInvoiceRow(ctx, 1, "f", err);
  EndInvoiceXml(ctx, 1, "FK", err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(test::MessageLines(run.Lines()),
            expected +
                "message 3 Modulen EFTKNFIL för ÖPPNA avsedd XML får FELAKTIG parameter! ¶ "
                "Typen: X\n"
                "message 3 Modulen EFTKNFIL för HUVUD till XML får FELAKTIG parameter! ¶ Typen: \n"
                "message 3 Modulen EFTKNFIL för RADER till XML får FELAKTIG parameter! ¶ Typen: f\n"
                "message 3 Modulen EFTKNFIL för SLUT till XML får FELAKTIG parameter! ¶ "
                "Typen: FK\n");
  EXPECT_TRUE(std::filesystem::is_empty(run.install.Host("C:\\KVOR   \\FAKTUROR\\")));

  // A credit note keeps the signs of its texts, and a file type that takes no rows gets none.
  err = 0;
  OpenInvoiceXml(ctx, 1, "K", "001-241099", err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx.einvoice.path, "C:\\KVOR   \\KREDITAR\\001-241099.XML");
  registers::Record& customer = registers::Fields(ctx, "KRK-KUND");
  customer.Set("KUND_P004", "SE");
  customer.Set("KUND_P006", "100");
  customer.Set("KUND_P009", "BERG");
  customer.Set("KUND_P410", "H");
  customer.Set("KUND_P461", "N");  // identity: the customer number, whatever its length
  ctx.einvoice.values["H_ANM_LA1"] = "Pris < 100  &  fritt   levererat";
  WriteInvoiceHeader(ctx, 1, "K", err);
  ctx.einvoice.values["R_Beskrivning1"] = "Furu  <  S\xE5gad";  // "Sågad"
  WriteInvoiceRow(ctx, 1, "K", err);
  customer.Set("KUND_P410", "B");  // a file type that takes no rows
  WriteInvoiceRow(ctx, 1, "K", err);
  EXPECT_EQ(err, 0);
  EndInvoiceXml(ctx, 1, "K", err);
  ctx.text_files.CloseAll();

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
