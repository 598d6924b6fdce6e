// The window model: forms and their controls, driven by name from the program's logic and drawn
// by a front end (real windows or a scripted user). The rules are those of the classic toolkit the
// logic was written for:
//  - setting a text box's or combo box's text from code raises its change event at once;
//  - moving the focus raises lost-focus on the old control and got-focus on the new one at once;
//  - DoEvents hands control to the front end, which delivers pending input and timer ticks.
// Sizes and positions are in twips (15 twips a pixel). Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kvor::forms {

using Color = uint32_t;  // 0xRRGGBB

inline constexpr int kTwipsPerPixel = 15;

enum class Kind { Label, TextBox, ComboBox, Button, PictureBox, Timer };

// What changed, so that a front end redraws only that.
enum class Prop {
  Text,
  Enabled,
  Visible,
  BackColor,
  ForeColor,
  Items,
  ListIndex,
  Geometry,
  Picture,
  Timer,
  Font
};

// Key codes of the key-down event (the key-press event carries the character itself).
inline constexpr int16_t kKeyEnter = 13;
inline constexpr int16_t kKeyEscape = 27;
inline constexpr int16_t kKeyTab = 9;
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyDown = 40;

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;  // twips
};

struct Font {
  std::string name = "MS Sans Serif";
  int points = 8;
  bool bold = false;
};

class Form;

class Control {
 public:
  Control(Form& form, Kind kind, std::string name, int index);

  Form& Owner() const { return form_; }
  Kind GetKind() const { return kind_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 outside a control array
  std::string FullName() const;         // "CmdNmr(3)" or "CmdKlar"

  // Caption of a label or button, text of a text box or combo box.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  Color BackColor() const { return back_; }
  void SetBackColor(Color c);
  Color ForeColor() const { return fore_; }
  void SetForeColor(Color c);
  // Enabled state and background in one step, as the program always changes them together.
  void Enable(bool on, Color back);

  const Rect& Geometry() const { return rect_; }
  void SetGeometry(Rect r);
  void SetTop(int top);
  void SetLeft(int left);
  // A transparent label shows the controls beneath it through its background.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  const Font& GetFont() const { return font_; }
  void SetFont(Font f);

  // Combo boxes: the list entries and the selected one (-1 for none).
  const std::vector<std::string>& Items() const { return items_; }
  void AddItem(std::string_view item, int at = -1);
  void ClearItems();
  int ListIndex() const { return list_index_; }
  void SetListIndex(int i);

  // Picture boxes and buttons with pictures: a picture file name (host path) or a built-in name.
  const std::string& Picture() const { return picture_; }
  void SetPicture(std::string_view p);

  // Timers: interval in milliseconds; the timer runs while enabled with an interval above 0.
  int Interval() const { return interval_; }
  void SetInterval(int ms);

  bool CanTakeInput() const;  // enabled and visible, and its form too
  void SetFocus();            // moves the form's focus here (no-op when the control cannot take it)

  // Events. A front end calls the Raise... functions; the logic installs the handlers.
  std::function<void()> Click, GotFocus, LostFocus, Change, Tick;
  std::function<void(int16_t& key_ascii)> KeyPress;
  std::function<void(int16_t& key_code)> KeyDown;

  void RaiseClick();
  void RaiseKeyPress(int16_t& key_ascii);
  void RaiseKeyDown(int16_t& key_code);
  void RaiseTick();
  // Text entered by the user (typing or a choice in a list): stores it and raises change.
  void UserSetText(std::string_view text);

 private:
  void Notify(Prop p);

  Form& form_;
  Kind kind_;
  std::string name_;
  int index_;
  std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  Color back_ = 0xFFFFFF;
  Color fore_ = 0x000000;
  Rect rect_;
  Font font_;
  bool transparent_ = false;
  std::vector<std::string> items_;
  int list_index_ = -1;
  std::string picture_;
  int interval_ = 0;
};

// Told of every change of a form and its controls; front ends and the transcript use it.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void ControlChanged(Control& c, Prop what) = 0;
  virtual void FormChanged(Form& f, Prop what) = 0;
  virtual void FocusChanged(Form& f, Control* now) = 0;
};

class Form {
 public:
  explicit Form(std::string name);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }

  Control& Add(Kind kind, std::string name, Rect r, std::string_view text = {}, int index = -1);
  // The control of that name (and index), or nullptr.
  Control* Find(std::string_view name, int index = -1);
  // Name as written in a script: "CmdKlar" or "CmdNmr(3)".
  Control* FindByFullName(std::string_view full_name);
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view c);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  Color BackColor() const { return back_; }
  void SetBackColor(Color c);
  const Rect& Geometry() const { return rect_; }
  void SetGeometry(Rect r);
  void SetSize(int width, int height);

  Control* Focus() const { return focus_; }
  void MoveFocus(Control* to);

  // Events of the form itself.
  std::function<void()> Load, Resize;
  // cancel: set to non-zero to refuse; mode 0 = closed by the user through the close box.
  std::function<void(int16_t& cancel, int16_t mode)> QueryUnload;

  void RaiseResize();
  // The close box: asks QueryUnload; true when the form may go.
  bool RequestClose();

  void AddObserver(FormObserver* o);
  void RemoveObserver(FormObserver* o);
  // Called by controls when they change.
  void NotifyControl(Control& c, Prop p);

 private:
  void NotifyForm(Prop p);

  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = false;
  Color back_ = 0xC0C0C0;
  Rect rect_;
  Control* focus_ = nullptr;
  std::vector<FormObserver*> observers_;
};

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { Exclamation, Critical, Information, Question };
enum class BoxAnswer { Ok, Yes, No };

// What the logic asks of whichever front end draws the forms.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Lets pending user input and timer ticks run, then returns.
  virtual void DoEvents() = 0;
  // Waits ms milliseconds; timers keep running meanwhile.
  virtual void Sleep(int ms) = 0;
  // Shows a form without making it modal; the front end starts drawing it.
  virtual void Show(Form& f) = 0;
  // Hides a form; the front end stops drawing it.
  virtual void Hide(Form& f) = 0;
  // Keeps a shown form above all others while it is up.
  virtual void SetTopMost(Form& f) = 0;
  // The screen's width and height in twips.
  virtual Rect Screen() = 0;
  // The system's message box; blocks until answered.
  virtual BoxAnswer MessageBox(const std::string& title, const std::string& text,
                               BoxButtons buttons, BoxIcon icon, BoxAnswer default_answer) = 0;
};

}  // namespace kvor::forms
