// The e-invoice XML file of the real trv00381, compared byte for byte with a file this test builds
// on its own from the register records as stored (field positions, clean-up rules and layout
// written out here, not taken from the program).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include "support/demo_process.h"
#include "support/register_snapshot.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

std::string NoBlanks(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}
std::string RightTrimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}
std::string OneBlank(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}
// The six Swedish letters, Windows-1252 (and Latin-1) in the records, as UTF-8 byte pairs.
std::string SwedishAsUtf8(const std::string& s) {
  std::string out;
  for (const unsigned char c : s) {
    if (std::string_view("\xC5\xC4\xD6\xE5\xE4\xF6").find(static_cast<char>(c)) !=
        std::string_view::npos)
      out += {'\xC3', static_cast<char>(c - 0x40)};
    else
      out += static_cast<char>(c);
  }
  return out;
}
std::string NameField(const std::string& s) {
  std::string out = SwedishAsUtf8(s);
  std::replace(out.begin(), out.end(), '&', 'o');
  return out;
}
std::string Date(const std::string& stored) {
  const std::string d = NoBlanks(stored);
  return d.empty() ? std::string(10, ' ')
                   : d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
}
// "  23490.600" as "23490.60": two decimals rounded half away from zero, no grouping.
std::string Amount(const std::string& stored) {
  const double value = std::stod("0" + NoBlanks(stored));
  const long long cents = std::llround(value * 100);
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "", std::llabs(cents) / 100,
                std::llabs(cents) % 100);
  return text;
}

// Lines of one block; an element whose value is empty is left out when `optional` says so.
class Xml {
 public:
  void Line(const std::string& text) { out_ << text << "\r\n"; }
  void Element(const std::string& name, const std::string& value, bool optional = false) {
    if (!(optional && value.empty())) Line("  <" + name + ">" + value + "</" + name + ">");
  }
  std::string Text() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

class EInvoiceXml : public DemoProcess {
 protected:
  std::string File(const std::string& name) { return demo + "/C/KVOR/" + name; }
  std::string One(const std::string& reg, const std::string& key) {
    const auto r = Records(reg, key);
    EXPECT_EQ(r.size(), 1u) << reg << " " << key;
    return r.empty() ? std::string() : r[0];
  }
  std::string Written(const std::string& name) {
    std::ifstream in(File("FAKTUROR/" + name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The file for the invoice as the registers hold it.
  std::string Expected(const std::string& number, const std::string& h);
};

std::string EInvoiceXml::Expected(const std::string& number, const std::string& h) {
  const std::string c = "001";
  const std::string customer_key = At(h, 26, 20);
  const std::string k = One("KRK-KUND", c + customer_key);
  const std::string x = One("KRK-XTRA", c + customer_key);
  const std::string f = One("SYS-FRTG", c);
  const std::string edi = One("SYS-EDIH", c);
  const std::string l = One("SVF-LSHD", c + "S" + At(h, 11, 6));
  const std::string seller = One("SAK-SFSH", c + At(h, 849, 4));
  const std::string settings = One("SVF-DATA", c + At(k, 308, 1));
  const std::string customer_number = NoBlanks(customer_key);
  EXPECT_EQ(At(k, 410, 1), "H");
  EXPECT_EQ(At(k, 416, 1), "A");
  EXPECT_EQ(At(k, 461, 1), "G");

  const auto first_of = [](std::initializer_list<std::string> values, const std::string& none) {
    for (const std::string& v : values)
      if (!NoBlanks(v).empty()) return RightTrimmed(v);
    return none;
  };
  // Postcode and town; a line without five digits in front is all town, trailing blanks kept.
  const auto postal = [](const std::string& line, std::string& postcode, std::string& town) {
    postcode = NoBlanks(line.substr(0, 6));
    const bool digits =
        postcode.size() >= 5 && std::all_of(postcode.begin(), postcode.begin() + 5, ::isdigit);
    if (!digits) {
      postcode.clear();
      town = line;
      return;
    }
    town = line.substr(6);
    town.erase(0, town.find_first_not_of(' '));
    town = RightTrimmed(town);
  };
  std::string k_postcode, k_town, l_postcode, l_town;
  postal(At(h, 512, 25), k_postcode, k_town);
  postal(At(h, 362, 25), l_postcode, l_town);
  const std::string days = NoBlanks(At(h, 610, 3));
  const std::string terms = At(h, 563, 47);
  const std::string terms_text =
      RightTrimmed(terms.find(" " + days + " ") != std::string::npos ? terms : days + " " + terms);
  const std::string net = Amount(At(h, 673, 14));

  Xml xml;
  xml.Line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  xml.Line("<ORNWEB>");
  xml.Line("<FAKTURA>");
  xml.Line("<FAKTURAHUVUD>");
  xml.Element("H_Posttyp", "H");
  xml.Element("H_Typ_av_faktura", "380");
  xml.Element("H_S_Momsregistreringsnr",
              NoBlanks(At(f, 29, 2) + At(f, 31, 6) + At(f, 37, 4) + At(f, 41, 2)));
  xml.Element("H_S_KONTAKT_Namn",
              NameField(first_of({At(seller, 8, 25), At(h, 99, 30), At(f, 114, 20)}, "")));
  xml.Element("H_S_Bankgiro", NoBlanks(At(f, 388, 9)), true);
  xml.Element("H_S_Postgiro", NoBlanks(At(f, 401, 9)), true);
  xml.Element("H_S_KONTAKT_Telefon", NoBlanks(At(f, 183, 15)), true);
  xml.Element("H_K_KONTAKT_Telefon", NoBlanks(At(k, 189, 20)), true);
  xml.Element("H_Fakturanr", number);
  xml.Element("H_Fakturadatum", Date(At(h, 46, 8)));
  xml.Element("H_Leveransdatum", Date(At(l, 48, 8)));
  xml.Element("H_K_Identitet",
              NoBlanks(At(x, 241, 2) + At(x, 243, 5) + At(x, 248, 5) + At(x, 253, 1)));
  xml.Element("H_K_Momsregistreringsnr",
              NoBlanks(At(k, 174, 2) + At(k, 176, 6) + At(k, 182, 4) + At(k, 186, 2)));
  xml.Element("H_K_KONTAKT_Namn", NameField(first_of({At(k, 363, 30), At(k, 259, 20)}, "SAKNAS")));
  xml.Element("H_K_Namn", NameField(RightTrimmed(At(h, 407, 30))));
  xml.Element("H_K_GataBox", NameField(RightTrimmed(At(h, 487, 25))));
  xml.Element("H_K_Postnr", k_postcode);
  xml.Element("H_K_Ort", NameField(k_town));
  xml.Element("H_K_Land", NameField(first_of({At(h, 537, 20)}, "SVERIGE")));
  xml.Element("H_L_Namn", NameField(RightTrimmed(At(h, 257, 30))));
  xml.Element("H_L_Godsadress", NameField(RightTrimmed(At(h, 337, 25))));
  xml.Element("H_L_Postnr", l_postcode);
  xml.Element("H_L_Ort", NameField(l_town));
  xml.Element("H_L_Land", NameField(first_of({At(h, 387, 20)}, "SVERIGE")));
  xml.Element("H_Bet_Villkor_Kod", At(h, 561, 2));
  xml.Element("H_Bet_Villkor_Text", SwedishAsUtf8(OneBlank(terms_text)));
  xml.Element("H_Forfallodatum", Date(At(h, 857, 8)));
  xml.Element("H_REF_Leveransavi",
              SwedishAsUtf8(OneBlank(first_of({At(l, 500, 25)}, At(h, 11, 6)))));
  xml.Element("H_REF_Saljarens_bestnr", NoBlanks(At(h, 17, 6)) + NoBlanks(At(h, 23, 3)));
  xml.Element("H_REF_Koparens_referens",
              SwedishAsUtf8(OneBlank(first_of({At(h, 54, 15)}, customer_number))));
  xml.Element("H_ANM_LA1", SwedishAsUtf8(OneBlank(first_of({At(h, 799, 50)}, "........."))));
  xml.Element("H_ANM_LA2", RightTrimmed(OneBlank(At(l, 463, 12) + " " + At(l, 475, 10))));
  xml.Element("H_Bet_Valuta", At(h, 628, 3));
  xml.Element("H_Summa_Detaljrader", net);
  xml.Element("H_Summa_ExklMoms", net);
  xml.Element("H_MOMS_Momspliktigt_belopp1", net);
  xml.Element("H_MOMS_Procent1", At(h, 614, 5));
  xml.Element("H_MOMS_Momsbelopp1", Amount(At(h, 715, 14)));
  xml.Element("H_Oresutjamning", NoBlanks(At(h, 763, 6)));
  xml.Element("H_Att_betala", Amount(At(h, 783, 14)));
  xml.Line("</FAKTURAHUVUD>");

  int row_number = 0;
  const auto row = [&](const std::string& article, const std::string& d1, const std::string& d2,
                       const std::string& quantity, const std::string& unit,
                       const std::string& price, const std::string& sum, bool certified) {
    xml.Line("<FAKTURARAD>");
    xml.Element("R_Posttyp", "R");
    xml.Element("R_Radnr", std::to_string(++row_number));
    xml.Element("R_Artikelnr_Saljarens", SwedishAsUtf8(article));
    xml.Element("R_Beskrivning1", OneBlank(SwedishAsUtf8(d1)), true);
    xml.Element("R_Beskrivning2", OneBlank(SwedishAsUtf8(d2)), true);
    xml.Element("R_Kvantitet", quantity);
    xml.Element("R_Enhet", unit);
    xml.Element("R_Pris", price);
    xml.Element("R_Summa", sum);
    const std::string cert = At(h, 986, 1);
    if (certified && (cert == "P" || cert == "B")) {
      xml.Element("R_CertPEFCReferenceNo", NoBlanks(At(settings, 192, 20)));
      xml.Element("R_CertPEFCReferencePercent", "100");
    }
    if (certified && (cert == "F" || cert == "B")) {
      xml.Element("R_CertFSCReferenceNo", NoBlanks(At(settings, 332, 20)));
      xml.Element("R_CertFSCReferencePercent", "100");
    }
    xml.Line("</FAKTURARAD>");
  };

  for (const std::string& t : Records("SVF-FTSP", h.substr(0, 10))) {
    // The load-specification row: the lengths are not part of this company's key.
    const std::string s =
        One("SVF-LSSP", c + "S" + At(h, 11, 6) + At(t, 11, 1) + At(t, 12, 1) + At(t, 23, 2) +
                            At(t, 13, 5) + At(t, 18, 5) + At(t, 25, 5) + At(t, 30, 2) +
                            At(t, 32, 2) + "    " + At(t, 38, 1));
    const std::string quality = One("SVP-KTKD", c + At(t, 23, 2));
    const std::string product = One("SVP-UFKD", c + At(t, 12, 1) + At(t, 25, 5));
    const auto d = Records(
        "SVP-DSNA", c + At(s, 12, 1) + At(s, 13, 2) + At(s, 25, 5) + At(s, 39, 5) + At(s, 44, 5));
    std::string article = d.empty() ? "" : NoBlanks(At(d[0], 115, 7));
    const double share = std::stod("0" + NoBlanks(At(s, 34, 4)));
    if (At(edi, 158, 1) == "J" && share > 0 && share < 100)
      article = article.substr(0, article.size() - 2) + At(s, 34, 4);
    if (article.empty())
      article =
          At(s, 12, 1) + At(s, 13, 2) + At(s, 39, 5) + At(s, 44, 5) + At(s, 25, 5) + At(s, 30, 2);
    row(article,
        RightTrimmed(At(s, 12, 1) + " " + RightTrimmed(At(quality, 6, 12)) + " " + At(s, 39, 5) +
                     "x" + At(s, 44, 5)),
        RightTrimmed(At(product, 85, 25)), NoBlanks(At(t, 213, 8)), At(t, 32, 2),
        Amount(At(t, 70, 10)), Amount(At(t, 127, 14)), true);
  }
  for (const std::string& a : Records("SVF-FTAP", h.substr(0, 10))) {
    const auto item = Records("ARV-ATKL", c + At(a, 19, 5) + At(a, 24, 20));
    std::string article = item.empty() ? "" : NoBlanks(At(item[0], 85, 7));
    if (article.empty()) article = NoBlanks(At(a, 19, 5) + At(a, 24, 20) + At(a, 44, 5));
    const std::string quantity = NoBlanks(At(a, 188, 9));
    const std::string sum = Amount(At(a, 264, 14));  // the invoice is in the company's currency
    std::string price = Amount(At(a, 231, 14));
    if (price == "0.00" && std::stod(quantity) == 1) price = sum;
    row(article, RightTrimmed(At(a, 49, 30)), RightTrimmed(At(a, 79, 50) + " " + At(a, 129, 50)),
        quantity, At(a, 197, 2), price, sum, false);
  }
  xml.Line("</FAKTURA>");
  xml.Line("</ORNWEB>");
  return xml.Text();
}

TEST_F(EInvoiceXml, TheFileHoldsTheInvoiceAsTheRegistersHaveItByteForByte) {
  // Printing it again in the same run, after a send that leads back to number entry (to a port
  // where no server listens), writes the file anew, its rows counted from 1 again.
  SendTo("1");
  const std::string t = Run(
      "type TxtNmmr 241002\nclick CmdKlar\nclick CmdSänd\ntype TxtNmmr 241002\nclick CmdKlar\n");
  // The second print read the header as the first print wrote it back (its due date and sums
  // recomputed) and wrote it back unchanged.
  const std::string expected = Expected("241002", One("SVF-FTHD", "001F241002"));

  EXPECT_EQ(Written("001-241002.XML"), expected);
  const std::string one_print =
      "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor! ¶ Skrivare: KVOR PDF\n"
      "message 1 För FAKTURA-nummer '241002' har DATA som XML skapats! ¶ Tryck KONTROLL för VISA "
      "dess INNEHÅLL i XML-filen! ¶ Tryck SKICKA för ÖVERFÖRING till FTP-servern! ¶ Fil "
      "C:\\KVOR   \\FAKTUROR\\001-241002.XML\n";
  const std::string messages = MessageLines(t);
  EXPECT_EQ(messages.substr(0, one_print.size()), one_print);
  ASSERT_GE(messages.size(), one_print.size());
  EXPECT_EQ(messages.substr(messages.size() - one_print.size()), one_print);
  // The sample covers the cases a receiver trips over.
  EXPECT_NE(expected.find("<H_K_Namn>Norrbygg o Tr\xC3\xA4 AB</H_K_Namn>"), std::string::npos);
  EXPECT_NE(expected.find("<H_K_Ort>V\xC3\xA4xj\xC3\xB6</H_K_Ort>"), std::string::npos);
  EXPECT_NE(expected.find("<H_L_Postnr></H_L_Postnr>"), std::string::npos);
  EXPECT_NE(expected.find("<H_Leveransdatum>          </H_Leveransdatum>"), std::string::npos);
  EXPECT_NE(expected.find("</R_CertPEFCReferencePercent>\r\n  <R_CertFSCReferenceNo>"),
            std::string::npos);
}

TEST_F(EInvoiceXml, ACustomerWithoutAWholeIdentityIsRefusedAndTheFileStaysEmpty) {
  // Organisation number "556987123" and a blank: nine characters where ten are wanted.
  Reg({"put", "KRK-KUND", "--keep", "KUND_P001=001", "KUND_P004=SE", "KUND_P006=100",
       "KUND_P009=NORRBYGG", "KUND_P461=O", "KUND_P176=556987", "KUND_P182=123"});
  const std::string before = One("SVF-FTHD", "001F241002");
  const std::string t = Run("type TxtNmmr 241002\nclick CmdKlar\n");

  EXPECT_EQ(MessageLines(t),
            "message 2 Tillhörande KUND-id 'SE100NORRBYGG' har EJ rätt GLN/ORG-kod! ¶ Skall "
            "ÄNDRAS för KUNDEN via KRK-V02-EV programmet! ¶ GLN/ORG-kod: 556987123 · Längd: 10\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' gav INGA sidor! ¶ Skrivare: KVOR PDF\n");
  ASSERT_TRUE(std::filesystem::exists(File("FAKTUROR/001-241002.XML")));
  EXPECT_EQ(std::filesystem::file_size(File("FAKTUROR/001-241002.XML")), 0u);
  EXPECT_EQ(One("SVF-FTHD", "001F241002"), before);  // nothing printed, nothing marked
}

}  // namespace
}  // namespace kvor::test
