// The real kvor executable: every command's --help and unknown options, and kvor reg on a fresh
// sample installation; kvor reg's JSON Lines reader and writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "reg.h"
#include "support/pg_server.h"
#include "support/register_snapshot.h"
#include "support/run_program.h"

namespace kvor::test {
namespace {

using reg::Assignment;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(JsonLines, TheReaderReadsWhatTheWriterAndOtherWritersEscapeAndRefusesAllElse) {
  const std::vector<Assignment> members = {{"A", "plain"},
                                           {"B", "quote \" backslash \\ slash /"},
                                           {"C", "line\nbreak\r\ttab \x01\x1f"},
                                           {"D", "S\xC3\xA5gverket \xE2\x82\xAC"},
                                           {"E", ""}};
  const std::string line = reg::WriteJsonObject(members);
  EXPECT_EQ(line.find('\n'), std::string::npos) << "one object is one line";
  EXPECT_THAT(line, HasSubstr(R"("B": "quote \" backslash \\ slash /")"));
  EXPECT_THAT(line, HasSubstr("\\u0001"));
  std::vector<Assignment> back;
  std::string error;
  ASSERT_TRUE(reg::ReadJsonObject(line, back, error)) << error;
  EXPECT_EQ(back, members);
  // Escapes other writers use.
  ASSERT_TRUE(reg::ReadJsonObject(R"(  { "A" :"\u00e5\u00C4\/" ,"B":"\ud83d\ude00", "C":"\b\f"} )",
                                  back, error))
      << error;
  EXPECT_EQ(back, (std::vector<Assignment>{
                      {"A", "\xC3\xA5\xC3\x84/"}, {"B", "\xF0\x9F\x98\x80"}, {"C", "\b\f"}}));

  // Anything but one flat object of strings is refused, with a message.
  for (const char* bad :
       {"", "{", "[\"A\"]", R"({"A":1})", R"({"A":null})", R"({"A":{"B":"x"}})", R"({"A":"x",})",
        R"({"A" "x"})", R"({"A":"x"} {"B":"y"})", R"({"A":"x","A":"y"})", R"({"A":"open})",
        R"({"A":"\q"})", R"({"A":"\u12"})", R"({"A":"\ud800"})", "{\"A\":\"raw\ttab\"}",
        "{\"A\":\"\xFF\"}"}) {
    error.clear();
    EXPECT_FALSE(reg::ReadJsonObject(bad, back, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(KvorCommands, EveryCommandAnswersHelpWithItsUsageAndRefusesAnUnknownOption) {
  const std::string dir = TempFolder();
  for (const std::string command :
       {"demo", "link", "help", "reg", "reg create", "reg put SYS-FRTG", "reg get SYS-FRTG 001",
        "reg list SYS-FRTG", "reg export SYS-FRTG", "reg import SYS-FRTG", "reg fields SYS-FRTG",
        "reg lock SYS-FRTG 001", "reg copy"}) {
    SCOPED_TRACE(command);
    std::istringstream words(command + " --help");
    std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    ProcessResult r = RunProgram(Kvor(), args, dir);
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(std::filesystem::exists(args.back())) << "taken for a folder";
    const std::string name = args[0] == "help" ? "" : args[0] + " ";
    EXPECT_THAT(r.out, StartsWith("usage: kvor " + name));
    args.back() = "--no-such-option";
    r = RunProgram(Kvor(), args, dir);
    EXPECT_EQ(r.code, 2);
    EXPECT_THAT(r.err, HasSubstr("unknown option --no-such-option\nusage: kvor " + name));
  }

  // A field that reaches past the key is only partly a key part.
  const ProcessResult r = RunProgram(Kvor(), {"reg", "fields", "SVP-VAKD"}, dir);
  EXPECT_THAT(r.out, HasSubstr("VAKD_P004 4 2 key\nVAKD_P006 6 12 key (first 3 characters)\n"
                               "VAKD_P018 18 12\n"));
  std::filesystem::remove_all(dir);
}

// kvor reg on a sample installation written by kvor demo.
class KvorReg : public ::testing::Test {
 protected:
  void SetUp() override {
    const ProcessResult made = RunProgram(Kvor(), {"demo", root}, dir);
    ASSERT_EQ(made.code, 0) << made.err;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  ProcessResult Reg(std::vector<std::string> args, const BeforeExec& before_exec = {}) {
    args.insert(args.begin(), {"reg", "--root", root});
    return RunProgram(Kvor(), args, dir, {}, before_exec);
  }
  std::string Export(const std::string& code) {
    const ProcessResult r = Reg({"export", code});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }
  // The register file on disk, its write-ahead log included.
  std::string FileBytes(const std::string& path) {
    return ReadFile(root + "/C/KVOR/" + path) + ReadFile(root + "/C/KVOR/" + path + "-wal");
  }
  // Imports the text through standard input.
  ProcessResult ImportFromStdin(const std::string& code, const std::string& text) {
    WriteFile(dir + "/in.jsonl", text);
    return Reg({"import", code}, [&] { std::freopen((dir + "/in.jsonl").c_str(), "r", stdin); });
  }

  std::string dir = TempFolder();
  std::string root = dir + "/inst";
};

// Wrong input is refused with a message and changes nothing.
TEST_F(KvorReg, PutGetExportAndImportKeepSwedishLettersAndRefuseWrongInputWithAMessage) {
  const std::string before = FileBytes("SYS/SYS-FRTG.BTR");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::string too_wide = std::string(24, 'x') + "\xC3\xA5\xC3\xA4";  // 26 characters
  for (const Case& c : std::vector<Case>{
           {{"put", "SYS-FRTG", "FRTG_P001=001", "FRTG_P999=x"}, "SYS-FRTG has no field FRTG_P999"},
           {{"put", "SYS-FRTG", "FRTG_P001=001", "FRTG_P004=" + too_wide},
            "the value of FRTG_P004 is 26 characters; the field holds 25"},
           {{"put", "SYS-FRTG", "FRTG_P001=001", "FRTG_P004=\xE2\x86\x92"},
            "Windows-1252 has no character"},
           {{"put", "SYS-FRTG", "FRTG_P001=001", "FRTG_P004=a", "FRTG_P004=b"}, "named twice"},
           {{"put", "SYS-FRTG", "FRTG_P004=a"}, "the key is blank: give FRTG_P001"},
           {{"put", "SYS-FRTG", "--new", "FRTG_P001=001"}, "the key '001' is in SYS-FRTG already"},
           {{"put", "SYS-XXXX", "FRTG_P001=001"}, "unknown register 'SYS-XXXX'"},
           {{"get", "SYS-FRTG", "0011"}, "SYS-FRTG keys are 3"},
           {{"get", "SYS-FRTG", "999"}, "no record with the key '999' in SYS-FRTG"},
       }) {
    const ProcessResult r = Reg(c.args);
    EXPECT_EQ(r.code, 1) << c.args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr(c.message));
  }
  // Nor does create change a file that exists; only --replace empties it.
  ProcessResult r = Reg({"create", "SYS-FRTG"});
  EXPECT_EQ(r.code, 0);
  EXPECT_THAT(r.out, HasSubstr("exists, kept"));
  EXPECT_EQ(FileBytes("SYS/SYS-FRTG.BTR"), before);

  // Without an installation under the root: said so, and nothing is made there.
  const std::string empty = dir + "/empty";
  std::filesystem::create_directories(empty);
  r = RunProgram(Kvor(), {"reg", "--root", empty, "create"}, dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.err, HasSubstr("DISKUNIT.DAT"));
  EXPECT_TRUE(std::filesystem::is_empty(empty));

  // The sample company field by field, blank fields too.
  r = Reg({"get", "SYS-FRTG", "001"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(r.out, StartsWith("FRTG_P001=001\nFRTG_P004=Tr\xC3\xA4"
                                "dg\xC3\xA5rdens S\xC3\xA5gverk AB\n"));
  EXPECT_THAT(r.out, HasSubstr("\nFRTG_P164=\n"));  // blank fields are shown too
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 87) << "a line for every field";

  // 25 characters, the width of the field, though 32 bytes in UTF-8.
  const std::string name = "\xC3\x85keriet \xC3\x84lmhult \xC3\x96stra \xC3\xA5\xC3\xA4\xC3\xB6";
  r = Reg({"put", "SYS-FRTG", "FRTG_P001=002", "frtg_p004=" + name, "FRTG_P044=Storgatan 1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "inserted SYS-FRTG '002'\n");
  EXPECT_THAT(FileBytes("SYS/SYS-FRTG.BTR"),  // stored as Windows-1252
              HasSubstr("\xC5keriet \xC4lmhult \xD6stra \xE5\xE4\xF6"));
  EXPECT_THAT(Reg({"get", "SYS-FRTG", "002"}).out,
              HasSubstr("\nFRTG_P004=" + name + "\nFRTG_P029=\n"));

  // The same key again replaces the record: fields not named become blank, unless --keep.
  EXPECT_EQ(
      Reg({"put", "SYS-FRTG", "--keep", "FRTG_P001=002", "FRTG_P094=V\xC3\xA4xj\xC3\xB6"}).out,
      "updated SYS-FRTG '002'\n");
  EXPECT_THAT(Reg({"get", "SYS-FRTG", "002"}).out,
              AllOf(HasSubstr("\nFRTG_P044=Storgatan 1\n"),
                    HasSubstr("\nFRTG_P094=V\xC3\xA4xj\xC3\xB6\n")));
  ASSERT_EQ(Reg({"put", "SYS-FRTG", "FRTG_P001=002", "FRTG_P004=Nytt"}).code, 0);
  EXPECT_THAT(Reg({"get", "SYS-FRTG", "002"}).out, HasSubstr("\nFRTG_P044=\n"));

  // A key shorter than the key length is padded with blanks.
  EXPECT_EQ(Reg({"get", "SYS-BANK", "001"}).code, 1);
  EXPECT_EQ(Reg({"list", "SYS-BANK", "--prefix", "001"}).out,
            "0010001  6 | SMBKSESS | Sm\xC3\xA5landsbanken V\xC3\xA4xj\xC3\xB6\n");

  // Exported, then imported into a fresh file: the same records.
  // Quotes, backslashes, a tab and one of the bytes Windows-1252 leaves undefined travel too.
  ASSERT_EQ(Reg({"put", "SYS-FRTG", "FRTG_P001=009", "FRTG_P004=\"Citat\" \\ och\ttab",
                 "FRTG_P134=odefinierad \xC2\x81"})
                .code,
            0);
  const std::string frtg = Export("SYS-FRTG"), text = Export("VSH-TEXT");
  EXPECT_EQ(std::count(frtg.begin(), frtg.end(), '\n'), 3) << frtg;
  EXPECT_THAT(frtg, HasSubstr(R"("FRTG_P004": "\"Citat\" \\ och\ttab")"));

  ASSERT_EQ(Reg({"create", "SYS-FRTG", "--replace"}).code, 0);
  ASSERT_EQ(Reg({"create", "VSH-TEXT", "--replace"}).code, 0);
  EXPECT_EQ(Export("SYS-FRTG"), "");
  WriteFile(dir + "/frtg.jsonl", frtg);
  r = Reg({"import", "SYS-FRTG", dir + "/frtg.jsonl"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "SYS-FRTG: 3 inserted, 0 replaced\n");
  r = ImportFromStdin("VSH-TEXT", text);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Export("SYS-FRTG"), frtg);
  EXPECT_EQ(Export("VSH-TEXT"), text);
  EXPECT_THAT(FileBytes("SYS/SYS-FRTG.BTR"), HasSubstr("odefinierad \x81"));

  // Importing again meets keys that are there already: refused as a whole, or replaced.
  r = Reg({"import", "SYS-FRTG", dir + "/frtg.jsonl"});
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.err, HasSubstr("line 1: the key '001' is in SYS-FRTG already"));
  r = Reg({"import", "SYS-FRTG", dir + "/frtg.jsonl", "--replace"});
  EXPECT_EQ(r.out, "SYS-FRTG: 0 inserted, 3 replaced\n") << r.err;

  // One bad line refuses the whole import; blank lines count (the fuzz corpus of the import
  // holds many more bad inputs).
  const std::string line = R"({"VSHTEXT_P001": "90", "VSHTEXT_P003": "1", "VSHTEXT_P004": "Ny"})";
  r = ImportFromStdin(
      "VSH-TEXT", line + "\n" + R"({"VSHTEXT_P001": "90", "VSHTEXT_P003": "3"})" + "\n\n" + line);
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.err, HasSubstr("line 4: the key '901' is on line 1 already"));
  EXPECT_THAT(r.err, HasSubstr("1 bad line; nothing was written to VSH-TEXT"));
  EXPECT_EQ(Export("VSH-TEXT"), text);
}

// The registers copied from the files to the test binary's server and back are the same records,
// byte for byte; a target that holds records is refused unless --replace.
using KvorRegOnServer = KvorReg;
TEST_F(KvorRegOnServer, CopyToAServerAndBackGivesTheSameRecords) {
  const PgServer& server = PgServer::Get();
  ASSERT_EQ(server.error(), "");
  ASSERT_EQ(Reg({"put", "SYS-FRTG", "FRTG_P001=009", "FRTG_P004=odefinierad \xC2\x81"}).code, 0);
  const RegisterSnapshot before = SnapshotRegisters(root);
  ProcessResult r = Reg({"copy", "--from", "files", "--to", server.url()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("SYS-FRTG: 2 records copied\n"));
  r = Reg({"copy", "--from", server.url(), "--to", "files"});
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.err, HasSubstr("holds 2 records; nothing was copied (give --replace"));
  r = Reg({"copy", "--from", server.url(), "--to", "files", "--replace"});
  ASSERT_EQ(r.code, 0) << r.err;
  const RegisterSnapshot after = SnapshotRegisters(root);
  EXPECT_EQ(after.files, 28);
  EXPECT_EQ(DataOf(after.records), DataOf(before.records));
}

}  // namespace
}  // namespace kvor::test
