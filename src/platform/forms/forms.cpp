#include "platform/forms/forms.h"

#include <algorithm>

namespace kvor::forms {

Control::Control(Form& form, Kind kind, std::string name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index) {
  if (kind == Kind::Button) back_ = 0xC0C0C0;  // button face
}

void Control::SetFont(Font f) {
  font_ = std::move(f);
  Notify(Prop::Font);
}

void Control::SetTransparent(bool on) {
  transparent_ = on;
  Notify(Prop::BackColor);
}

std::string Control::FullName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::Notify(Prop p) {
  form_.NotifyControl(*this, p);
}

void Control::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  Notify(Prop::Text);
  if ((kind_ == Kind::TextBox || kind_ == Kind::ComboBox) && Change) Change();
}

void Control::UserSetText(std::string_view text) {
  SetText(text);
}

void Control::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Notify(Prop::Enabled);
  // A disabled control cannot keep the focus; the next SetFocus on it counts as a new entry.
  if (!on && form_.Focus() == this) form_.MoveFocus(nullptr);
}

void Control::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  Notify(Prop::Visible);
}

void Control::SetBackColor(Color c) {
  if (c == back_) return;
  back_ = c;
  Notify(Prop::BackColor);
}

void Control::SetForeColor(Color c) {
  if (c == fore_) return;
  fore_ = c;
  Notify(Prop::ForeColor);
}

void Control::Enable(bool on, Color back) {
  SetEnabled(on);
  SetBackColor(back);
}

void Control::SetGeometry(Rect r) {
  rect_ = r;
  Notify(Prop::Geometry);
}

void Control::SetTop(int top) {
  Rect r = rect_;
  r.top = top;
  SetGeometry(r);
}

void Control::SetLeft(int left) {
  Rect r = rect_;
  r.left = left;
  SetGeometry(r);
}

void Control::AddItem(std::string_view item, int at) {
  if (at < 0 || at > static_cast<int>(items_.size())) at = static_cast<int>(items_.size());
  items_.insert(items_.begin() + at, std::string(item));
  if (list_index_ >= at) ++list_index_;
  Notify(Prop::Items);
}

void Control::ClearItems() {
  items_.clear();
  list_index_ = -1;
  Notify(Prop::Items);
}

void Control::SetListIndex(int i) {
  if (i < -1 || i >= static_cast<int>(items_.size())) i = -1;
  list_index_ = i;
  Notify(Prop::ListIndex);
  // Choosing an entry puts it into the combo box's text, as the toolkit does; a choice raises
  // click, not change.
  if (i >= 0 && text_ != items_[i]) {
    text_ = items_[i];
    Notify(Prop::Text);
  }
}

void Control::SetPicture(std::string_view p) {
  picture_ = p;
  Notify(Prop::Picture);
}

void Control::SetInterval(int ms) {
  interval_ = ms;
  Notify(Prop::Timer);
}

bool Control::CanTakeInput() const {
  return enabled_ && visible_ && form_.Enabled() && form_.Visible() && kind_ != Kind::Timer &&
         kind_ != Kind::Label;
}

void Control::SetFocus() {
  if (!enabled_ || !visible_ || kind_ == Kind::Timer || kind_ == Kind::Label) return;
  form_.MoveFocus(this);
}

void Control::RaiseClick() {
  if (Click) Click();
}

void Control::RaiseKeyPress(int16_t& key_ascii) {
  if (KeyPress) KeyPress(key_ascii);
}

void Control::RaiseKeyDown(int16_t& key_code) {
  if (KeyDown) KeyDown(key_code);
}

void Control::RaiseTick() {
  if (kind_ == Kind::Timer && enabled_ && interval_ > 0 && Tick) Tick();
}

Form::Form(std::string name) : name_(std::move(name)) {}

Control& Form::Add(Kind kind, std::string name, Rect r, std::string_view text, int index) {
  auto c = std::make_unique<Control>(*this, kind, std::move(name), index);
  c->SetGeometry(r);
  c->SetText(text);
  controls_.push_back(std::move(c));
  return *controls_.back();
}

Control* Form::Find(std::string_view name, int index) {
  for (auto& c : controls_)
    if (c->Name() == name && c->Index() == index) return c.get();
  return nullptr;
}

Control* Form::FindByFullName(std::string_view full_name) {
  for (auto& c : controls_)
    if (c->FullName() == full_name) return c.get();
  return nullptr;
}

void Form::SetCaption(std::string_view c) {
  if (c == caption_) return;
  caption_ = c;
  NotifyForm(Prop::Text);
}

void Form::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  NotifyForm(Prop::Enabled);
}

void Form::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  NotifyForm(Prop::Visible);
}

void Form::SetBackColor(Color c) {
  back_ = c;
  NotifyForm(Prop::BackColor);
}

void Form::SetGeometry(Rect r) {
  rect_ = r;
  NotifyForm(Prop::Geometry);
}

void Form::SetSize(int width, int height) {
  Rect r = rect_;
  r.width = width;
  r.height = height;
  SetGeometry(r);
}

void Form::MoveFocus(Control* to) {
  if (to == focus_) return;
  Control* from = focus_;
  focus_ = to;
  for (auto* o : std::vector<FormObserver*>(observers_)) o->FocusChanged(*this, to);
  if (from && from->LostFocus) from->LostFocus();
  // The lost-focus handler may have moved the focus on; then the new control never got it.
  if (to && focus_ == to && to->GotFocus) to->GotFocus();
}

void Form::RaiseResize() {
  if (Resize) Resize();
}

bool Form::RequestClose() {
  int16_t cancel = 0;
  if (QueryUnload) QueryUnload(cancel, 0);
  return cancel == 0;
}

void Form::AddObserver(FormObserver* o) {
  if (std::find(observers_.begin(), observers_.end(), o) == observers_.end())
    observers_.push_back(o);
}

void Form::RemoveObserver(FormObserver* o) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void Form::NotifyControl(Control& c, Prop p) {
  for (auto* o : std::vector<FormObserver*>(observers_)) o->ControlChanged(c, p);
}

void Form::NotifyForm(Prop p) {
  for (auto* o : std::vector<FormObserver*>(observers_)) o->FormChanged(*this, p);
}

}  // namespace kvor::forms
