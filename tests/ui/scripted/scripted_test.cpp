#include "ui/scripted/scripted_front_end.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "dialogs/messages.h"
#include "support/scripted_run.h"

namespace kvor::ui {
namespace {

using test::ScriptedRun;

TEST(ParseActions, ReadsEveryVerbCommentsAndUtf8NamesAndRefusesWrongLines) {
  std::vector<Action> a;
  std::string error;
  ASSERT_TRUE(
      ParseActions("# a comment\n\nfocus TxtNmmr\ntype TxtNmmr 12 3\nset CboNmmr 000123\n"
                   "key TxtNmmr Enter\nkey TxtNmmr x\nclick CmdNmr(3)  # digit\n"
                   "click CmdSänd\nselect CboPrnt 2\nanswer stäng\nclose\ntick 242\n"
                   "during click CmdBryt\r\nshow LblUkod\nduring 40 click CmdBryt\n",
                   a, error))
      << error;
  ASSERT_EQ(a.size(), 14u);
  EXPECT_EQ(a[1].text, "12 3");
  EXPECT_EQ(a[6].control, "CmdS\xE4nd");
  EXPECT_EQ(a[8].text, "ST\xC4NG");
  ASSERT_EQ(a[11].verb, Action::Verb::During);
  EXPECT_EQ(a[11].inner->control, "CmdBryt");
  EXPECT_EQ(a[11].number, 1);  // a "during" action comes at the first turn unless told
  EXPECT_EQ(a[13].number, 40);

  // A wrong line is refused with its number.
  for (const char* line :
       {"jump TxtNmmr", "click", "type TxtNmmr", "key TxtNmmr Home", "select CboPrnt x",
        "answer OK", "tick", "tick -1", "close now", "during during close", "during", "focus A B",
        "show", "during 0 click CmdBryt"}) {
    EXPECT_FALSE(ParseActions(std::string("focus TxtNmmr\n") + line + "\n", a, error)) << line;
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
  }
}

TEST(ScriptedFrontEnd, TypingKeysAndSelectionsRaiseTheirEventsAndDisabledControlsIgnoreActions) {
  ScriptedRun run(
      "type TxtNmmr 12x4\nkey TxtNmmr Up\nkey TxtNmmr Enter\nkey TxtNmmr 7\nselect CboNmmr 1\n"
      "click CmdKlar\ntype CboPrnt HP\nclick CmdNmr(7)\nanswer JA\nanswer STÄNG\n");
  forms::Control& field = *run.ctx().main.TxtNmmr;
  forms::Control& list = *run.ctx().main.CboNmmr;
  std::string events;  // what the handlers saw, in their order
  run.program.ctx.main.form.Load = [&, load = run.ctx().main.form.Load] {
    load();
    field.KeyDown = [&](int16_t& k) { events += "down " + std::to_string(k) + ", "; };
    field.KeyPress = [&](int16_t& key) {
      events += "press " + std::string(1, static_cast<char>(key)) + ", ";
      if (key == 'x') key = 0;  // swallowed: never reaches the text
    };
    field.Change = [&] { events += "change " + field.Text() + ", "; };
    field.LostFocus = list.GotFocus = [] {};  // the program's entry resets are not this test's
    list.Click = [&] { events += "list click " + list.Text() + ", "; };
    list.Change = [&] { events += "list change, "; };
    list.ClearItems();  // the sample invoices are not this test's business
    list.AddItem("000001 20261201");
    list.AddItem("000002 20261202");
    list.Enable(true, 0xFFFFFF);
    run.ctx().main.CmdNmr[7]->Click = [&] { events += "digit 7"; };
  };
  run.Play();
  // Typing is one key press and one change a character; a named key is a key down only; a
  // choice from the list puts its entry into the text and is a click, not typing. Disabled
  // controls and answers without a message are ignored, the line as it was written.
  EXPECT_EQ(
      events,
      "press 1, change 1, press 2, change 12, press x, press 4, change 124, down 38, down 13, "
      "press \r, down 55, press 7, change 1247, list click 000002 20261202, digit 7");
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_NE(run.Lines().find("ignored click CmdKlar\nignored type CboPrnt HP\nfocus CmdNmr(7)\n"
                             "ignored answer JA\nignored answer STÄNG\n"),
            std::string::npos)
      << run.Lines();
}

TEST(ScriptedFrontEnd, WindowsThatKeepComingAfterTheActionsStopTheRun) {
  // A message that keeps coming back, as a lock that is never released does.
  ScriptedRun run("click CmdNmr(1)\n");
  int shown = 0;
  run.ctx().main.CmdNmr[1]->Click = [&] {
    while (shown < 2 * kMostAnswersAfterActions) {
      ++shown;
      dialogs::ShowMessage(run.ctx(), "LÅST"_w, dialogs::kError);
    }
  };
  EXPECT_EQ(run.Play(), kStoppedWithoutActions);
  EXPECT_EQ(shown, kMostAnswersAfterActions + 1);
  EXPECT_NE(run.Lines().find("ignored the actions ran out and windows kept coming: the run is "
                             "stopped\nend 3\n"),
            std::string::npos);
}

}  // namespace
}  // namespace kvor::ui
