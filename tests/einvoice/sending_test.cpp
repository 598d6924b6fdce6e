// PGPYTHON running real Python scripts: how the script's exit code and a missing interpreter are
// told, and that the arguments reach the script untouched by any shell.
#include "einvoice/sending.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scripted_run.h"

namespace kvor::einvoice {
namespace {

TEST(RunPythonTest, ArgumentsArriveVerbatimAndEachFailureIsToldByItsKindWhereAWindowIsWanted) {
  // C:\TMP\EXIT.PY writes its arguments one a line into ARGS.TXT beside it and exits with the
  // first argument as its code.
  test::ScriptedRun run;
  const std::string folder = run.install.dir + "/C/TMP";
  std::filesystem::create_directories(folder);
  test::WriteFile(
      folder + "/EXIT.PY",
      "import pathlib, sys\n"
      "pathlib.Path(__file__).with_name('ARGS.TXT').write_text('\\n'.join(sys.argv[1:]))\n"
      "sys.exit(int(sys.argv[1]))\n");
  // Runs EXIT.PY with the words: the return code and the error flag on a line, then the
  // transcript's message lines.
  const auto run_script = [&](const std::vector<std::string>& words, int16_t window_style) {
    std::vector<std::string> command{"C:\\TMP\\EXIT.PY"};
    command.insert(command.end(), words.begin(), words.end());
    const std::size_t before = run.Lines().size();
    int code = 99;
    int16_t err = 9;
    RunPython(run.ctx(), command, window_style, code, err);
    return std::to_string(code) + " " + std::to_string(err) + "\n" +
           test::MessageLines(run.Lines().substr(before));
  };

  const std::string marker = folder + "/X";
  const std::vector<std::string> words{"0", "host;touch " + marker, "$(touch " + marker + ")",
                                       "`touch " + marker + "`", "a|b&c>d"};
  EXPECT_EQ(run_script(words, 1), "0 0\n");
  EXPECT_EQ(
      test::ReadFile(folder + "/ARGS.TXT"),
      "0\nhost;touch " + marker + "\n$(touch " + marker + ")\n`touch " + marker + "`\na|b&c>d");
  EXPECT_FALSE(std::filesystem::exists(marker));

  // Codes to 9 are an error shown always; from 10 a notice shown only in a window and never for
  // the backup program. A missing interpreter is told only in a window; the message with a
  // window is checked end to end, where the send logs it too.
  EXPECT_EQ(run_script({"3", "kvor", "N"}, 1),
            "3 1\nmessage 3 Modulen PGPYTHON kunde EJ utföra PYTHON-funktionen! ¶ Funktion: "
            "C:\\TMP\\EXIT.PY | 3 | kvor | N ¶ RETUR-kod: 3\n");
  EXPECT_EQ(run_script({"9"}, 0),
            "9 1\nmessage 3 Modulen PGPYTHON kunde EJ utföra PYTHON-funktionen! ¶ Funktion: "
            "C:\\TMP\\EXIT.PY | 9 ¶ RETUR-kod: 9\n");
  EXPECT_EQ(run_script({"12", "N"}, 1),
            "12 1\nmessage 2 Funktionen 'C:\\TMP\\EXIT.PY 12 N' kunde EJ utföras! ¶ RETUR-kod: "
            "12\n");
  EXPECT_EQ(run_script({"12"}, 0), "12 1\n");
  run.ctx().install.script_window = "J";  // the setting shows the window whatever is asked
  EXPECT_EQ(run_script({"12"}, 0),
            "12 1\nmessage 2 Funktionen 'C:\\TMP\\EXIT.PY 12' kunde EJ utföras! ¶ RETUR-kod: 12\n");
  run.ctx().frame.program_code = "BACKUPIT";
  EXPECT_EQ(run_script({"12"}, 1), "12 1\n");

  run.ctx().install.script_window = "N";
  run.ctx().install.python_interpreter = folder + "/no-python";
  EXPECT_EQ(run_script({"0", "N"}, 0), "-1 1\n");
  run.ctx().install.python_interpreter = "no-such-python-anywhere";  // looked up along PATH
  const std::string shown = run_script({"0"}, 1);
  EXPECT_TRUE(shown.starts_with("-1 1\nmessage 3 Funktion PYTHON för 'C:\\TMP\\EXIT.PY 0' kan EJ"))
      << shown;
}

}  // namespace
}  // namespace kvor::einvoice
