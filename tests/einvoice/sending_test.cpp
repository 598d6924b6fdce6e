// PGPYTHON running real Python scripts: how the script's exit code and a missing interpreter are
// told, and that the arguments reach the script untouched by any shell.
#include "einvoice/sending.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scripted_run.h"

namespace kvor::einvoice {
namespace {

// C:\TMP\EXIT.PY writes its arguments one a line into ARGS.TXT beside it and exits with the
// first argument as its code.
class RunPythonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder);
    test::WriteFile(folder + "/EXIT.PY",
                    "import os, sys\n"
                    "here = os.path.dirname(os.path.abspath(__file__))\n"
                    "with open(os.path.join(here, 'ARGS.TXT'), 'w') as f:\n"
                    "    f.write('\\n'.join(sys.argv[1:]))\n"
                    "sys.exit(int(sys.argv[1]))\n");
  }

  // Runs EXIT.PY with the words; the transcript's message lines come back.
  std::string Run(const std::vector<std::string>& words, int16_t window_style) {
    std::vector<std::string> command{"C:\\TMP\\EXIT.PY"};
    command.insert(command.end(), words.begin(), words.end());
    const std::size_t before = run.Lines().size();
    err = 9;
    code = 99;
    RunPython(run.ctx(), command, window_style, code, err);
    return test::MessageLines(run.Lines().substr(before));
  }

  test::ScriptedRun run;
  std::string folder = run.install.dir + "/C/TMP";
  int code = 0;
  int16_t err = 0;
};

TEST_F(RunPythonTest, ExitZeroIsSuccessAndTheArgumentsArriveVerbatimWithoutAShell) {
  const std::string marker = folder + "/X";
  const std::vector<std::string> words{"0", "host;touch " + marker, "$(touch " + marker + ")",
                                       "`touch " + marker + "`", "a|b&c>d"};
  EXPECT_EQ(Run(words, 1), "");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(
      test::ReadFile(folder + "/ARGS.TXT"),
      "0\nhost;touch " + marker + "\n$(touch " + marker + ")\n`touch " + marker + "`\na|b&c>d");
  EXPECT_FALSE(std::filesystem::exists(marker));
  EXPECT_EQ(run.ctx().einvoice.python_command, "PYTHON.EXE C:\\TMP\\EXIT.PY 0 host;touch " +
                                                   marker + " $(touch " + marker + ") `touch " +
                                                   marker + "` a|b&c>d");
  EXPECT_EQ(run.ctx().einvoice.python_return_code, 0);
}

TEST_F(RunPythonTest, CodesToNineAreAnErrorAndFromTenANoticeOnlyInAWindowNotForTheBackup) {
  EXPECT_EQ(Run({"3", "kvor", "N"}, 1),
            "message 3 Modulen PGPYTHON kunde EJ utföra PYTHON-funktionen! ¶ Funktion: "
            "C:\\TMP\\EXIT.PY | 3 | kvor | N ¶ RETUR-kod: 3\n");
  EXPECT_EQ(code, 3);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(run.ctx().einvoice.python_return_code, 3);
  // The same with window style 0: the error is shown all the same.
  EXPECT_NE(Run({"9"}, 0), "");
  EXPECT_EQ(err, 1);

  EXPECT_EQ(Run({"12", "N"}, 1),
            "message 2 Funktionen 'C:\\TMP\\EXIT.PY 12 N' kunde EJ utföras! ¶ RETUR-kod: 12\n");
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Run({"12"}, 0), "");
  EXPECT_EQ(err, 1);
  run.ctx().install.script_window = "J";  // the setting shows the window whatever is asked
  EXPECT_EQ(Run({"12"}, 0),
            "message 2 Funktionen 'C:\\TMP\\EXIT.PY 12' kunde EJ utföras! ¶ RETUR-kod: 12\n");
  run.ctx().frame.program_code = "BACKUPIT";
  EXPECT_EQ(Run({"12"}, 1), "");
  EXPECT_EQ(code, 12);
  EXPECT_EQ(err, 1);
}

// The message with a window is checked end to end, where the send logs it too.
TEST_F(RunPythonTest, AMissingInterpreterIsReportedUnlessNoWindowIsWanted) {
  run.ctx().install.python_interpreter = folder + "/no-python";
  EXPECT_EQ(Run({"0", "N"}, 0), "");
  EXPECT_EQ(code, -1);
  EXPECT_EQ(err, 1);
  EXPECT_FALSE(std::filesystem::exists(folder + "/ARGS.TXT"));

  run.ctx().install.python_interpreter = "no-such-python-anywhere";  // looked up along PATH
  EXPECT_NE(Run({"0"}, 1), "");
  EXPECT_EQ(code, -1);
}

}  // namespace
}  // namespace kvor::einvoice
