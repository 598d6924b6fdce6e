// Sending e-invoice 241002 with the real trv00381 and the installation's own upload script to a
// real FTP server: what arrives, what the user is told, the sent mark and the transfer log.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "installation.h"
#include "support/register_snapshot.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

using ::testing::EndsWith;

const char* const kPrint = "type TxtNmmr 241002\nclick CmdKlar\n";
const char* const kPrintAndSend = "type TxtNmmr 241002\nclick CmdKlar\nclick CmdSänd\n";
const char* const kXmlPath = "C:\\KVOR   \\FAKTUROR\\001-241002.XML";

class Sending : public WithFtpServer<Installation> {
 protected:
  bool MarkedSent() {
    return Reg({"get", "SVF-FTHD", "001F241002"}).find("\nSKICKAD=J\n") != std::string::npos;
  }
  std::string Xml() { return ReadFile(demo + "/C/KVOR/FAKTUROR/001-241002.XML"); }
  std::string Received() { return ReadFile(server.home + "/001-241002.XML"); }
  std::string Log() { return ReadFile(demo + "/C/KVOR/FAKTUROR/SANDLOGG.TXT"); }
};

// What the user is told after a send, whatever the script returned.
const std::string kTransfer =
    "message 1 Aktuellt FAKTURA-nummer '241002' har ÖVERFÖRTS till FTP-servern! ¶ Fil " +
    std::string(kXmlPath) + "\n";

// A server that is down, or an interpreter that cannot start, is told and logged, and the invoice
// is still marked sent: sent once, it asks before it is sent again, and [JA] sends it. The script
// finds the file through the program's drive map: drive C: alone, in a folder that is not named
// after its letter.
TEST_F(Sending, AFailedTransferIsMarkedSentAndLoggedAndASecondSendAsksFirstAndArrives) {
  std::filesystem::create_directory_symlink(demo + "/C", dir + "/drive-c");
  drives = {"--drive", "C:=" + dir + "/drive-c"};
  SendTo("1");  // where no server listens
  const std::string command =
      "C:\\WINKVOR\\PYCODES\\UPLOAD\\FTP-UL-ORNAB.PY 127.0.0.1 1 kvor kvor "
      "C:\\KVOR\\FAKTUROR 001-241002.XML N";
  EXPECT_THAT(MessageLines(Run(kPrintAndSend)),
              EndsWith(std::string(kXmlPath) + "\nmessage 2 Funktionen '" + command +
                       "' kunde EJ utföras! ¶ RETUR-kod: 10\n" + kTransfer));
  EXPECT_TRUE(MarkedSent());
  EXPECT_THAT(Log(), HasSubstr(";241002;" + std::string(kXmlPath) + ";10;FEL\r\n"));

  EXPECT_THAT(
      RunAgain(std::string(kPrintAndSend) + "answer JA\n", {"--python", dir + "/no-python"}),
      AllOf(HasSubstr("message 3 Funktion PYTHON för '" + command +
                      "' kan EJ utföras! ¶ Kräver INSTALLATION av PYTHON-programmet!"),
            HasSubstr(kTransfer)));
  EXPECT_THAT(Log(), HasSubstr(";-1;EJ STARTAD\r\n"));

  SendTo(server.port);
  const std::string transcript = RunAgain(std::string(kPrintAndSend) + "answer JA\n");
  ASSERT_FALSE(Xml().empty()) << transcript;
  EXPECT_EQ(Received(), Xml()) << server.Log();
  EXPECT_THAT(MessageLines(transcript), EndsWith(std::string(kXmlPath) + "\n" + kTransfer));
  const std::string log = Log();
  EXPECT_TRUE(std::regex_search(
      log, std::regex("\n2026-12-04 [0-9]{2}:[0-9]{2}:[0-9]{2};241002;C:\\\\KVOR   "
                      "\\\\FAKTUROR\\\\001-241002\\.XML;0;SKICKAD\r\n$")))
      << log;
  std::filesystem::remove(server.home + "/001-241002.XML");

  // Every print writes the same records again, each bumping their versions alike: a send
  // answered [NEJ] after a print must leave the records as a print alone does.
  RunAgain(kPrint);
  const auto first = SnapshotRegisters(demo).records;
  RunAgain(kPrint);
  const auto printed = SnapshotRegisters(demo).records;
  const std::string asking = RunAgain(std::string(kPrintAndSend) + "answer NEJ\n");
  EXPECT_THAT(
      asking,
      HasSubstr("question För FAKTURA-nummer '241002' har MARKERATS som SKICKAD redan! ¶ Skall "
                "FAKTURA-filen '001-241002.XML' åter SKICKAS igen?\n"));
  const auto asked = SnapshotRegisters(demo).records;
  ASSERT_EQ(asked.size(), printed.size());
  for (const auto& [key, record] : asked) {
    EXPECT_EQ(record.data, printed.at(key).data) << key;
    EXPECT_EQ(record.version - printed.at(key).version,
              printed.at(key).version - first.at(key).version)
        << key;
  }
  EXPECT_FALSE(std::filesystem::exists(server.home + "/001-241002.XML"));
  EXPECT_EQ(Log(), log);
}

TEST_F(Sending, AnXmlFileCutOffByAFullDiskIsToldAndNeverOfferedForSending) {
  // A file already in the 4 KiB that FAKTUROR holds leaves too little room for the invoice's
  // file: its lines reach the disk only at its close, and fail there.
  before_exec = [this] {
    TinyFileSystem(demo + "/C/KVOR/FAKTUROR", 4096);
    WriteFile(demo + "/C/KVOR/FAKTUROR/OTHER.XML", std::string(1024, ' '));
  };
  const std::string transcript = Run(kPrintAndSend);
  EXPECT_THAT(transcript,
              HasSubstr("message 3 Filen '" + std::string(kXmlPath) +
                        "' kan EJ skrivas! ¶ Fel: 61 · Anropat: EftknFil ¶ Disk full\n"));
  EXPECT_THAT(transcript, Not(HasSubstr("har DATA som XML skapats!")));
  EXPECT_FALSE(MarkedSent());
}

}  // namespace
}  // namespace kvor::test
