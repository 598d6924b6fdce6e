#include "dialogs/messages.h"

#include <algorithm>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/text.h"

namespace kvor::dialogs {

using forms::Control;
using forms::Form;
using forms::Kind;
using forms::Rect;

namespace {

constexpr forms::Color kGrey = 0x959595;
constexpr int kMessageMinWidth = 5970;
constexpr int kQuestionMinWidth = 8400;

// Colours of one message kind: the main window's strip, the window's own strip, the status text.
struct KindColours {
  forms::Color main_strip, window_strip, status_fore;
  std::string_view status;
};

const KindColours* ColoursOf(int16_t kind) {
  static const KindColours kKinds[] = {
      {0xC0FFC0, 0x008000, 0x000000, "Tryck [STÄNG] efter LÄST meddelande!"_w},
      {0xFFFFC0, 0xFFFF00, 0x000000, "Tryck [STÄNG] efter LÄST meddelande!"_w},
      {0xFFC0C0, 0xC00000, 0x000000, "Tryck [STÄNG] efter LÄST meddelande!"_w},
      {0xC00000, 0x000080, 0xFFFFFF, "Tryck [AVBRYT] eller [STÄNG] efter LÄST meddelande!"_w},
  };
  return kind >= 1 && kind <= 4 ? &kKinds[kind - 1] : nullptr;
}

// What a dialog remembers to undo when it closes.
struct Borrowed {
  bool reenable_main = false;
  bool clear_suppressed = false;
};

Borrowed BorrowMainWindow(Context& ctx) {
  Borrowed b;
  if (ctx.main.form.Enabled()) {
    ctx.main.form.SetEnabled(false);
    b.reenable_main = true;
  }
  if (ctx.frame.events_suppressed == 0) {
    ctx.frame.events_suppressed = 1;
    b.clear_suppressed = true;
  }
  return b;
}

void GiveBackMainWindow(Context& ctx, const Borrowed& b) {
  if (b.reenable_main) ctx.main.form.SetEnabled(true);
  if (b.clear_suppressed) ctx.frame.events_suppressed = 0;
}

void CentreOnScreen(Context& ctx, Form& f, const WindowSize& size) {
  const Rect screen = ctx.ui.Screen();
  Rect r{0, 0, size.width, size.height};
  if (screen.width > 0 && screen.height > 0) {
    r.left = (screen.width - size.width) / 2;
    r.top = (screen.height - size.height) / 2;
  }
  f.SetGeometry(r);
}

// The message text: fixed pitch, filling the window above the buttons.
Control& AddMessageLabel(Form& f, const WindowSize& size, const std::string& text) {
  Control& c =
      f.Add(Kind::Label, "LblMssg", Rect{120, 120, size.width - 240, (size.lines + 1) * 240}, text);
  c.SetFont({"Courier New", 9, false});
  c.SetBackColor(f.BackColor());
  return c;
}

void ShowWaitText(MasterWindow& m) {
  m.Mf->SetText("Bara VÄNTA eller TRYCK eventuell AVBRYT-knapp!"_w);
  m.Mf->SetForeColor(0x000000);
  m.Mb->SetBackColor(0xFFFF00);
}

// A dialog form is hidden when it goes out of scope, however its wait ends.
struct Loaded {
  forms::FrontEnd& ui;
  Form& form;
  ~Loaded() {
    if (form.Visible()) ui.Hide(form);
  }
};

}  // namespace

WindowSize MeasureMessage(const std::string& text, int minimum_width, int main_width) {
  WindowSize s;
  s.lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  if (s.lines == 0) s.lines = 1;
  // Longest line: the largest (line length + 1) over the CR-ended lines.
  std::string rest = text + "\r";
  bool found = false;
  for (std::size_t cr = rest.find('\r'); cr != std::string::npos; cr = rest.find('\r')) {
    found = true;
    s.longest = std::max(s.longest, static_cast<int>(cr) + 1);
    rest.erase(0, std::min(rest.size(), cr + 2));
  }
  if (!found) s.longest = static_cast<int>(text.size());
  s.width = s.longest * 150 + 250;
  if (s.width < minimum_width) s.width = minimum_width;
  if (s.width > main_width) {
    s.width = main_width;
    ++s.lines;
  }
  s.height = s.lines * 240 + 1800;
  return s;
}

void DoEvents(Context& ctx) {
  ctx.ui.DoEvents();
}

void Pause(Context& ctx, double n) {
  const int ms = n < 10 ? static_cast<int>(n * 1000) : static_cast<int>(n);
  ctx.ui.Sleep(ms);
  ctx.ui.DoEvents();
}

void ShowMessage(Context& ctx, const std::string& text, int16_t kind) {
  MasterWindow& m = ctx.main;
  KeepStatusText(ctx);
  ctx.msg.text = text;
  ctx.msg.kind = kind;
  ctx.msg.last_shown = text;
  ctx.frame.idle_counter = 0;

  // Load: the window lives for this one message.
  {
    Form f("MSFORM");
    f.SetCaption("ProgramMeddelande");
    Control& cancel = f.Add(Kind::Button, "CmdBryt", {}, "Av&Bryt");
    Control& close = f.Add(Kind::Button, "CmdExit", {}, "ST&ÄNG"_w);
    Control& prog = f.Add(Kind::Label, "LblProg", {}, ctx.frame.program_code);
    Control& strip = f.Add(Kind::Label, "LblExit", {});
    const Borrowed borrowed = BorrowMainWindow(ctx);

    const WindowSize size = MeasureMessage(text, kMessageMinWidth, m.form.Geometry().width);
    strip.SetGeometry({120, size.height - 1300, size.width - 240, 45});
    prog.SetGeometry({120, size.height - 1250, 1800, 300});
    close.SetGeometry({size.width - 2350, size.height - 1250, 2200, 500});
    cancel.SetGeometry({size.width - 4650, size.height - 1250, 2200, 500});
    prog.SetBackColor(f.BackColor());
    CentreOnScreen(ctx, f, size);

    if (const KindColours* k = ColoursOf(kind)) {
      m.Mb->SetBackColor(k->main_strip);
      strip.SetBackColor(k->window_strip);
      m.Mf->SetText(k->status);
      m.Mf->SetForeColor(k->status_fore);
    }
    if (kind != kCancellable) cancel.SetVisible(false);
    AddMessageLabel(f, size, text);

    auto closing = [&](int16_t answer) {
      ctx.msg.answer = answer;
      close.Enable(false, kGrey);
      cancel.Enable(false, kGrey);
      GiveBackMainWindow(ctx, borrowed);
      ctx.ui.Hide(f);
    };
    close.Click = [&] { closing(kAnswerClose); };
    cancel.Click = [&] { closing(kAnswerCancel); };

    ctx.transcript.Message(kind, text);
    ctx.ui.Show(f);
    Loaded loaded{ctx.ui, f};
    ctx.ui.SetTopMost(f);
    close.SetFocus();
    DoEvents(ctx);
    while (close.Enabled()) Pause(ctx, 75);
    RestoreStatusLine(ctx);
  }  // unloaded
}

void ReportError(Context& ctx, const std::string& text) {
  const sys::LocalTime now = ctx.clock.Now();
  const Timestamp t = MakeTimestamp(now.year, now.month, now.day, now.hour, now.minute, now.second);
  ctx.msg.buffer =
      Paragraphs(text, "Kontakta KVOR för HJÄLP enligt SUPPORT-avtalet!"_w,
                 "Inträffat: "_w + t.date + std::string(kDotSeparator) + t.hour + ":" + t.minute,
                 "Program: " + ctx.frame.program_code);
  ctx.clipboard.SetText(ctx.msg.buffer);
  ShowMessage(ctx, ctx.msg.buffer, kError);
}

void ReportTrappedError(Context& ctx, const std::string& text, const TrappedError& error) {
  const std::size_t sep = text.find(kParagraph);
  std::size_t n = sep == std::string::npos ? 0 : sep;  // length of the first paragraph
  if (n < 1) n = text.size();
  ctx.msg.buffer =
      Paragraphs(text, "Projekt: " + error.source, std::string(n, '-'),
                 "Fel: " + WithSignPlace(error.number), error.description, std::string(47, '-'));
  ReportError(ctx, ctx.msg.buffer);
}

void AskQuestion(Context& ctx, const std::string& text, int16_t close_button_wanted,
                 int16_t preselected) {
  MasterWindow& m = ctx.main;
  ctx.msg.text = text;
  ctx.msg.close_button_wanted = close_button_wanted;
  ctx.msg.preselected = preselected;
  {
    Form f("QTFORM");
    f.SetCaption("ProgramMeddelande");
    Control& yes = f.Add(Kind::Button, "CmdJa", {}, "&Ja");
    Control& no = f.Add(Kind::Button, "CmdNej", {}, "&Nej");
    Control& close = f.Add(Kind::Button, "CmdExit", {}, "ST&ÄNG"_w);
    Control& prog = f.Add(Kind::Label, "LblProg", {}, ctx.frame.program_code);
    Control& frame = f.Add(Kind::Label, "LblRam", {});

    // The status line tells which button is preselected.
    KeepStatusText(ctx);
    int16_t& wanted = ctx.msg.close_button_wanted;
    int16_t& chosen = ctx.msg.preselected;
    if (wanted > 1) wanted = 1;
    if (wanted < 0) wanted = 0;
    if (chosen <= 0) chosen = 1;
    if (chosen > wanted + 2) chosen = 2;
    static const forms::Color kStrip[] = {0xC0FFC0, 0xFFC0C0, 0xFFFFC0};
    m.Mb->SetBackColor(kStrip[chosen - 1]);
    m.Mf->SetText("Tryck [JA] eller [NEJ] knappen!");
    m.Mf->SetForeColor(0x000000);

    const Borrowed borrowed = BorrowMainWindow(ctx);
    ctx.msg.answer = 0;

    const WindowSize size = MeasureMessage(text, kQuestionMinWidth, m.form.Geometry().width);
    frame.SetGeometry({120, size.height - 1300, size.width - 240, 45});
    frame.SetBackColor(0x000080);
    prog.SetGeometry({120, size.height - 1250, 1800, 300});
    prog.SetBackColor(f.BackColor());
    const int top = size.height - 1250;
    if (wanted == 1) {
      close.SetGeometry({size.width - 2350, top, 1200, 500});
      no.SetGeometry({size.width - 4650, top, 1200, 500});
      yes.SetGeometry({size.width - 5950, top, 1200, 500});
    } else {
      close.SetVisible(false);
      no.SetGeometry({size.width - 2400, top, 1200, 500});
      yes.SetGeometry({size.width - 4700, top, 1200, 500});
    }
    CentreOnScreen(ctx, f, size);
    AddMessageLabel(f, size, text);

    bool pressed = false;
    auto press = [&](int16_t answer) {
      ctx.msg.answer = answer;
      pressed = true;
      for (Control* b : {&yes, &no, &close}) b->SetEnabled(false);
    };
    yes.Click = [&] { press(kAnswerYes); };
    no.Click = [&] { press(kAnswerNo); };
    close.Click = [&] { press(kAnswerQuestionClose); };

    ctx.transcript.Question(text);
    ctx.ui.Show(f);
    Loaded loaded{ctx.ui, f};
    ctx.ui.SetTopMost(f);
    (chosen == 1 ? yes : chosen == 2 ? no : close).SetFocus();
    DoEvents(ctx);
    while (!pressed) Pause(ctx, 75);
    GiveBackMainWindow(ctx, borrowed);
    ctx.ui.Hide(f);
    RestoreStatusLine(ctx);
  }  // unloaded
}

void KeepStatusText(Context& ctx) {
  if (ctx.msg.wait_flag == 0) ctx.msg.status_text = ctx.main.Mf->Text();
}

void RestoreStatusLine(Context& ctx) {
  ctx.frame.idle_counter = 0;
  if (ctx.msg.wait_flag == 1) {
    // Still waiting: the waiting text comes back, the status text stays for the wait's end.
    ShowWaitText(ctx.main);
    return;
  }
  ctx.main.Mf->SetText(ctx.msg.status_text);
  ctx.main.Mf->SetForeColor(colour::kStatusText);
  ctx.main.Mb->SetBackColor(colour::kStatusStrip);
  DoEvents(ctx);
}

void EnterWaitState(Context& ctx) {
  MasterWindow& m = ctx.main;
  m.CmdExit->Enable(false, kGrey);
  if (ctx.msg.wait_flag == 0) {
    KeepStatusText(ctx);
    ctx.msg.wait_flag = 1;
    ShowWaitText(m);
  }
  // The title marks the wait once, however often the wait is entered.
  m.form.SetCaption(ctx.frame.window_title + std::string(kDotSeparator) + "!");
}

void LeaveWaitState(Context& ctx) {
  ctx.main.CmdExit->Enable(true, colour::kExitOn);
  ctx.main.form.SetCaption(ctx.frame.window_title);
  ctx.msg.wait_flag = 0;
  RestoreStatusLine(ctx);
}

void ShowStopNotice(Context& ctx) {
  std::string code;
  for (char c : ctx.frame.program_code)
    if (c != ' ') code += c;
  ctx.main.Mf->SetText("Program " + code + " utför STOPP för FORTSATT bearbetning!"_w);
  ctx.main.Mf->SetForeColor(0xC00000);
  ctx.main.Mb->SetBackColor(0xFFFFFF);
  DoEvents(ctx);
}

void ShowStatusText(Context& ctx) {
  if (ctx.msg.wait_flag == 1) ctx.msg.wait_flag = 0;
  RestoreStatusLine(ctx);
}

void HelpSelect(Context& ctx, const std::string& word) {
  ctx.msg.status_text = "Välj "_w + word + " med [UPP]/[NER] och [ENTER] accepterar!";
  ShowStatusText(ctx);
}

void HelpStart(Context& ctx, const std::string& word) {
  ctx.msg.status_text = "Tryck [" + word + "] för START av INITIERAD utskrift!"_w;
  ShowStatusText(ctx);
}

void HelpCancel(Context& ctx, const std::string& word) {
  ctx.msg.status_text = "Tryck [AVBRYT] för AVSLUTA pågående "_w + word + "-funktion!";
  ShowStatusText(ctx);
}

void HelpHelpKey(Context& ctx) {
  ctx.msg.status_text = "Tryck [ ! ] för VISA avsedda HJÄLP-text!"_w;
  ShowStatusText(ctx);
}

void HelpReturn(Context& ctx, const std::string& word) {
  ctx.msg.status_text = "Tryck [ÅTER] för ANROP av "_w + word + "-programmet!";
  ShowStatusText(ctx);
}

void DialogMessenger::ShowMessage(const std::string& text, int16_t kind) {
  dialogs::ShowMessage(ctx_, text, kind);
}

void DialogMessenger::ReportTrappedError(const std::string& text, const TrappedError& error) {
  dialogs::ReportTrappedError(ctx_, text, error);
}

void DialogMessenger::ShowInputError(const std::string& text) {
  ctx_.transcript.Box("Felmeddelande", text);
  ctx_.ui.MessageBox("Felmeddelande", text, forms::BoxButtons::Ok, forms::BoxIcon::Exclamation,
                     forms::BoxAnswer::Ok);
}

}  // namespace kvor::dialogs
