// The e-invoice XML file that the real trv00381 writes for invoice 241002 of the sample
// installation, byte for byte, and the refusal of a customer whose identity is not whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "installation.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

// Invoice 241002 as the registers hold it. The names and towns carry their Swedish letters as
// UTF-8 byte pairs and "&" as "o"; the delivery line has no postcode, so all of it, trailing
// blanks too, is the town; the empty delivery date stays ten blanks; the remark of the load
// specification keeps its single Windows-1252 byte.
const char* const kHeaderXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<ORNWEB>\r\n"
    "<FAKTURA>\r\n"
    "<FAKTURAHUVUD>\r\n"
    "  <H_Posttyp>H</H_Posttyp>\r\n"
    "  <H_Typ_av_faktura>380</H_Typ_av_faktura>\r\n"
    "  <H_S_Momsregistreringsnr>SE556677889901</H_S_Momsregistreringsnr>\r\n"
    "  <H_S_KONTAKT_Namn>Per Åström</H_S_KONTAKT_Namn>\r\n"
    "  <H_S_Bankgiro>5050-1055</H_S_Bankgiro>\r\n"
    "  <H_S_Postgiro>4711-2345</H_S_Postgiro>\r\n"
    "  <H_S_KONTAKT_Telefon>0470-12345</H_S_KONTAKT_Telefon>\r\n"
    "  <H_K_KONTAKT_Telefon>090-142200</H_K_KONTAKT_Telefon>\r\n"
    "  <H_Fakturanr>241002</H_Fakturanr>\r\n"
    "  <H_Fakturadatum>2026-11-04</H_Fakturadatum>\r\n"
    "  <H_Leveransdatum>          </H_Leveransdatum>\r\n"
    "  <H_K_Identitet>7350012345679</H_K_Identitet>\r\n"
    "  <H_K_Momsregistreringsnr>SE556987123401</H_K_Momsregistreringsnr>\r\n"
    "  <H_K_KONTAKT_Namn>Örjan Nilsson</H_K_KONTAKT_Namn>\r\n"
    "  <H_K_Namn>Norrbygg o Trä AB</H_K_Namn>\r\n"
    "  <H_K_GataBox>Storgatan 8</H_K_GataBox>\r\n"
    "  <H_K_Postnr>35230</H_K_Postnr>\r\n"
    "  <H_K_Ort>Växjö</H_K_Ort>\r\n"
    "  <H_K_Land>Sverige</H_K_Land>\r\n"
    "  <H_L_Namn>Norrbygg o Trä AB</H_L_Namn>\r\n"
    "  <H_L_Godsadress>Storgatan 8</H_L_Godsadress>\r\n"
    "  <H_L_Postnr></H_L_Postnr>\r\n"
    "  <H_L_Ort>Virkesterminalen Växjö   </H_L_Ort>\r\n"
    "  <H_L_Land>Sverige</H_L_Land>\r\n"
    "  <H_Bet_Villkor_Kod>30</H_Bet_Villkor_Kod>\r\n"
    "  <H_Bet_Villkor_Text>30 30 dagar netto</H_Bet_Villkor_Text>\r\n"
    "  <H_Forfallodatum>2026-12-04</H_Forfallodatum>\r\n"
    "  <H_REF_Leveransavi>FS-541002</H_REF_Leveransavi>\r\n"
    "  <H_REF_Saljarens_bestnr>311002001</H_REF_Saljarens_bestnr>\r\n"
    "  <H_REF_Koparens_referens>Order 1002</H_REF_Koparens_referens>\r\n"
    "  <H_ANM_LA1>.........</H_ANM_LA1>\r\n"
    "  <H_ANM_LA2>Paketm\xE4rkt Plastat</H_ANM_LA2>\r\n"
    "  <H_Bet_Valuta>SEK</H_Bet_Valuta>\r\n"
    "  <H_Summa_Detaljrader>32370.60</H_Summa_Detaljrader>\r\n"
    "  <H_Summa_ExklMoms>32370.60</H_Summa_ExklMoms>\r\n"
    "  <H_MOMS_Momspliktigt_belopp1>32370.60</H_MOMS_Momspliktigt_belopp1>\r\n"
    "  <H_MOMS_Procent1>25.00</H_MOMS_Procent1>\r\n"
    "  <H_MOMS_Momsbelopp1>8092.65</H_MOMS_Momsbelopp1>\r\n"
    "  <H_Oresutjamning>-0.250</H_Oresutjamning>\r\n"
    "  <H_Att_betala>40463.00</H_Att_betala>\r\n"
    "</FAKTURAHUVUD>\r\n";

// A row block: its values in the order of the row's elements, and after them for a sawn row the
// two certificates of the sample's settings.
std::string Row(const std::vector<std::string>& values, bool certified) {
  const char* const names[] = {"R_Posttyp",      "R_Radnr",        "R_Artikelnr_Saljarens",
                               "R_Beskrivning1", "R_Beskrivning2", "R_Kvantitet",
                               "R_Enhet",        "R_Pris",         "R_Summa"};
  std::string out = "<FAKTURARAD>\r\n";
  for (std::size_t i = 0; i < values.size(); ++i)
    out += std::string("  <") + names[i] + ">" + values[i] + "</" + names[i] + ">\r\n";
  if (certified)
    out +=
        "  <R_CertPEFCReferenceNo>DEMO-PEFC-COC-0001</R_CertPEFCReferenceNo>\r\n"
        "  <R_CertPEFCReferencePercent>100</R_CertPEFCReferencePercent>\r\n"
        "  <R_CertFSCReferenceNo>DEMO-FSC-C000001</R_CertFSCReferenceNo>\r\n"
        "  <R_CertFSCReferencePercent>100</R_CertFSCReferencePercent>\r\n";
  return out + "</FAKTURARAD>\r\n";
}

using EInvoiceXml = Installation;

// The file holds the invoice as the registers have it, byte for byte, and stays empty for a
// customer whose identity is not whole.
TEST_F(EInvoiceXml,
       TheFileHoldsTheInvoiceByteForByteOrStaysEmptyForACustomerWithoutAWholeIdentity) {
  const std::string path = demo + "/C/KVOR/FAKTUROR/001-241002.XML";
  // Printing it again in the same run, after a send that leads back to number entry (to a port
  // where no server listens), reads the header as the first print wrote it back (its due date
  // and sums recomputed) and writes the file anew, its rows counted from 1 again.
  SendTo("1");
  const std::string t = Run(
      "type TxtNmmr 241002\nclick CmdKlar\nclick CmdSänd\ntype TxtNmmr 241002\nclick CmdKlar\n");
  EXPECT_EQ(ReadFile(path), kHeaderXml +
                                Row({"R", "1", "1222015", "1 Sågfallande 22.0x150.0", "Gran, sågad",
                                     "9.870", "M3", "2380.00", "23490.60"},
                                    true) +
                                Row({"R", "2", "1145014", "1 Utskott 45.0x145.0", "Furu, sågad",
                                     "4.500", "M3", "1640.00", "7380.00"},
                                    true) +
                                Row({"R", "3", "9000100", "EUR-pall", "Lastpall 1200x800, retur ej",
                                     "12.000", "ST", "125.00", "1500.00"},
                                    false) +
                                "</FAKTURA>\r\n</ORNWEB>\r\n");
  const std::string written =
      "message 1 För FAKTURA-nummer '241002' har DATA som XML skapats! ¶ Tryck KONTROLL för VISA "
      "dess INNEHÅLL i XML-filen! ¶ Tryck SKICKA för ÖVERFÖRING till FTP-servern! ¶ Fil "
      "C:\\KVOR   \\FAKTUROR\\001-241002.XML\n";
  EXPECT_EQ(Occurrences(MessageLines(t), written), 2) << t;

  // Organisation number "556987123" and a blank: nine characters where ten are wanted.
  Reg({"put", "KRK-KUND", "--keep", "KUND_P001=001", "KUND_P004=SE", "KUND_P006=100",
       "KUND_P009=NORRBYGG", "KUND_P461=O", "KUND_P176=556987", "KUND_P182=123"});
  const std::string before = Header("241002");
  EXPECT_EQ(MessageLines(RunAgain("type TxtNmmr 241002\nclick CmdKlar\n")),
            "message 2 Tillhörande KUND-id 'SE100NORRBYGG' har EJ rätt GLN/ORG-kod! ¶ Skall "
            "ÄNDRAS för KUNDEN via KRK-V02-EV programmet! ¶ GLN/ORG-kod: 556987123 · Längd: 10\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' gav INGA sidor! ¶ Skrivare: KVOR PDF\n");
  EXPECT_EQ(std::filesystem::file_size(path), 0u);  // there, and empty
  EXPECT_EQ(Header("241002"), before);              // nothing printed, nothing marked
}

}  // namespace
}  // namespace kvor::test
