// Choosing an invoice in the real trv00381, run headless by a scripted user on a sample
// installation: typing, digit buttons, the invoice list and refusals. Every run looks only, so
// every register record must be as it was.
#include <gtest/gtest.h>

#include <sstream>

#include "installation.h"
#include "support/register_snapshot.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

const char* const kReady = "status Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!\n";
const char* const kPrintHelp = "status Tryck [OK] för START av INITIERAD utskrift!\n";

class Selection : public Installation {
 protected:
  void SetUp() override {
    DemoProcess::SetUp();
    before = SnapshotRegisters(demo);
  }
  void TearDown() override {
    EXPECT_TRUE(SnapshotRegisters(demo).text == before.text) << "a register record changed";
    DemoProcess::TearDown();
  }

  // The part of the transcript after the start-up has reached number entry.
  std::string AfterStart(const std::string& actions) {
    const std::string t = Run(actions);
    const auto at = t.find(kReady);
    EXPECT_NE(at, std::string::npos) << t;
    return at == std::string::npos ? t : t.substr(at + std::string(kReady).size());
  }

  RegisterSnapshot before;
};

// The "show" lines of one control, in their order.
std::vector<std::string> Shown(const std::string& transcript, const std::string& control) {
  std::vector<std::string> out;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("show " + control + " ", 0) == 0) out.push_back(line.substr(6 + control.size()));
  return out;
}

// Typing or the digit buttons test each character and the sixth digit looks the invoice up. Refused
// invoices go back to number entry, a posted one goes on, cancel brings back an empty entry, and a
// printed invoice can be looked up for a reprint. Enter looks up fewer digits with leading zeros,
// in the number field and in the list field, which also takes a number chosen from the list.
TEST_F(Selection, ANumberTypedPressedOrChosenIsTestedAndLookedUpOrRefused) {
  const std::string t = AfterStart(
      "show CmdBryt\ntype TxtNmmr 24x\nshow TxtNmmr\ntype TxtNmmr 1001\n"
      "show TxtNmmr\nshow LblIdent\nshow LblUkod\nshow LblPfkod\nshow LblCfkod\nshow LblLsnmr\n"
      "show LblDatum\nclick CmdBryt\n"
      "type TxtNmmr 241012\nshow TxtNmmr\ntype TxtNmmr 241009\nshow TxtNmmr\n"
      "type TxtNmmr 241005\nshow TxtNmmr\nclick CmdBryt\nshow TxtNmmr\n"
      "type TxtNmmr 241010\nshow LblUkod\nclick CmdBryt\n"
      "type TxtNmmr 1001\nkey TxtNmmr Enter\nshow TxtNmmr\n"
      "focus CboNmmr\nkey CboNmmr Enter\nset CboNmmr 1003\nkey CboNmmr Enter\nshow TxtNmmr\n"
      "focus CboNmmr\nset CboNmmr 241004\nshow TxtNmmr\nclick CmdBryt\n"
      "select CboNmmr 2\nkey CboNmmr Enter\nshow TxtNmmr\nshow CboNmmr\nclick CmdBryt\n"
      "click CmdNmr(2)\nclick CmdNmr(4)\nshow TxtNmmr\nshow CmdSudda\n"
      "click CmdSudda\nshow TxtNmmr\nshow CmdSudda\n"
      "click CmdNmr(2)\nclick CmdNmr(4)\nclick CmdNmr(1)\nclick CmdNmr(0)\nclick CmdNmr(0)\n"
      "click CmdNmr(2)\nclick CmdNmr(7)\nshow TxtNmmr\n");
  // AvBryt is off at the first number entry.
  EXPECT_EQ(t.substr(0, t.find("show LblIdent")),
            "show CmdBryt \"AvBryt\" off back #959595 fore #000000\n"
            "box Felmeddelande: Angivet TECKEN-värde [ x ] är EJ tillåtet! ¶ Endast NUMERISK "
            "tillåts!\n"
            "answer STÄNG (auto)\n"
            "show TxtNmmr \"24\" on back #FF0000 fore #000000 focus\n"
            "focus CmdKlar\n" +
                std::string(kPrintHelp) +
                "show TxtNmmr \"241001\" off back #FFFFC0 fore #000000\n");
  EXPECT_EQ(Shown(t, "LblIdent")[0], "\"AKESSON        \" on back #FFFFFF fore #000000");
  // 241001 is not yet printed, 241010 is.
  EXPECT_EQ(Shown(t, "LblUkod"), (std::vector<std::string>{"\"J\" on back #FFFFFF fore #008000",
                                                           "\"N\" on back #FFFFFF fore #C00000"}));
  EXPECT_EQ(Shown(t, "LblPfkod")[0], "\"P\" on back #FFFFFF fore #800080");
  EXPECT_EQ(Shown(t, "LblCfkod")[0], "\"J\" on back #FFFFFF fore #008000");
  EXPECT_EQ(Shown(t, "LblLsnmr")[0], "\"541001\" on back #FFFFFF fore #000000");
  EXPECT_EQ(Shown(t, "LblDatum")[0], "\"2026-10-31\" on back #FFFFFF fore #000000");
  EXPECT_EQ(MessageLines(t.substr(t.find("show LblIdent")), true),
            "message 2 Angivet FAKTURA-nummer '241012' är KOPPLAD till KUND-kontrakt! ¶ "
            "FAKTURA-datum: 20261125\n"
            "message 2 Angivet FAKTURA-nummer '241009' är KOPPLAD till PRODUKTIONS-order! ¶ "
            "FAKTURA-datum: 20261118\n"
            "message 1 Angivet FAKTURA-nummer '241005' är AJOURFÖRT men UTSKRIFT kan ÄNDÅ "
            "utföras! ¶ AJOURFÖRINGS-datum: 20261130\n"
            "message 2 Angivet FAKTURA-nummer '001001' saknas!\n"
            "message 2 Obligatoriskt fält! ¶ Tryck ENDAST med ENTER tillåts EJ för GODKÄNT "
            "indata!\n"
            "message 2 Angivet FAKTURA-nummer '001003' saknas!\n");
  const std::string entry = "\"\" on back #FF0000 fore #000000 focus";
  EXPECT_EQ(
      Shown(t, "TxtNmmr"),
      (std::vector<std::string>{
          "\"24\" on back #FF0000 fore #000000 focus", "\"241001\" off back #FFFFC0 fore #000000",
          entry, entry, "\"241005\" off back #FFFFC0 fore #000000", entry, entry, entry,
          "\"241004\" off back #FFFFC0 fore #000000", "\"241003\" off back #FFFFC0 fore #000000",
          "\"24\" on back #FFFF00 fore #000000", entry,
          "\"241002\" off back #FFFFC0 fore #000000"}));
  EXPECT_EQ(Shown(t, "CboNmmr")[0], "\"\" off back #D3D3D3 fore #000000 list 11 at 2");
  // Rensa empties the entry; the sixth digit button looks the invoice up and leaves no digit
  // button to press.
  EXPECT_EQ(Shown(t, "CmdSudda"),
            (std::vector<std::string>{"\"Rensa\" on back #FFC0C0 fore #000000",
                                      "\"Rensa\" off back #959595 fore #000000"}));
  EXPECT_THAT(t,
              HasSubstr("focus CmdKlar\n" + std::string(kPrintHelp) + "ignored click CmdNmr(7)\n"));
}

TEST_F(Selection, DownWalksTheListOfUnprintedInvoicesAndStopsAtItsEnd) {
  std::string actions = "show LblAntal\nshow LblKlara\n";
  actions += "click CmdNer\nshow TxtNmmr\nclick CmdUpp\nshow TxtNmmr\n";
  for (int i = 0; i < 11; ++i) actions += "click CmdNer\nshow TxtNmmr\n";
  actions += "click CmdUpp\nshow TxtNmmr\nclick CmdNer\nshow TxtNmmr\n";
  actions += "show CboNmmr\nclick CmdSpara\n";
  const std::string t = AfterStart(actions);
  EXPECT_EQ(Shown(t, "LblAntal")[0], "\"11\" on back #FFFFFF fore #000000");
  EXPECT_EQ(Shown(t, "LblKlara")[0], "\"2\" on back #FFFFFF fore #000000");
  // The first press shows the first entry and Up cannot go above it; printed (241010, 241011)
  // and contract (241012) invoices are not listed; the last press stays on the last entry, from
  // which Up goes back one.
  std::vector<std::string> numbers;
  for (const std::string& s : Shown(t, "TxtNmmr")) numbers.push_back(s.substr(1, 6));
  EXPECT_EQ(numbers, (std::vector<std::string>{"241001", "241001", "241002", "241003", "241004",
                                               "241005", "241006", "241007", "241008", "241009",
                                               "241013", "241014", "241014", "241013", "241014"}));
  EXPECT_EQ(Shown(t, "CboNmmr")[0].rfind("\"241014 2026", 0), 0u) << Shown(t, "CboNmmr")[0];
  // 241014's load specification is missing: the read tells so, and the entry starts afresh.
  EXPECT_THAT(MessageLines(t), HasSubstr("Nyckel: 001S549999"));
  EXPECT_EQ(t.substr(t.rfind("answer ")),
            "answer STÄNG (auto)\n" + std::string(kReady) + "focus TxtNmmr\nend 0\n");
}

TEST_F(Selection, ACompanyWithNothingToPrintReturnsToTheMenu) {
  Reg({"create", "SVF-FTHD", "--replace"});
  before = SnapshotRegisters(demo);
  const std::string t = Run("type TxtNmmr 241001\n");
  EXPECT_EQ(MessageLines(t), "message 2 För UTSKRIFT finns EJ några POSTER att SKRIVA ut!\n");
  EXPECT_THAT(t, Not(HasSubstr("focus TxtNmmr")));
  EXPECT_THAT(t, HasSubstr("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"));
}

}  // namespace
}  // namespace kvor::test
