#include "ui/qt/form_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>

#include "ui/qt/conversions.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_front_end.h"

namespace kvor::ui {

using forms::Control;
using forms::Kind;
using forms::Prop;

namespace {

// Counts the copying of model changes to the widgets; focus events that Qt sends meanwhile are
// its own reaction to our change, not the user's.
struct Applying {
  explicit Applying(int& depth) : depth_(depth) { ++depth_; }
  ~Applying() { --depth_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;
  int& depth_;
};

// The key code of the key-down event, 0 for keys the program never sees (modifiers alone).
int16_t KeyCodeOf(const QKeyEvent& e) {
  const int key = e.key();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return forms::kKeyEnter;
    case Qt::Key_Escape:
      return forms::kKeyEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return forms::kKeyTab;
    case Qt::Key_Up:
      return forms::kKeyUp;
    case Qt::Key_Down:
      return forms::kKeyDown;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<int16_t>(112 + key - Qt::Key_F1);
  // Letters, digits and the Latin-1 letters: Qt's key is the upper-case character itself.
  if (key >= 0x20 && key <= 0xFF) return static_cast<int16_t>(key);
  return 0;
}

// The character of the key-press event as its Windows-1252 byte, 0 when the key types none.
int16_t AsciiOf(const QKeyEvent& e) {
  switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Backspace:
      return 8;
    default:
      break;
  }
  const QString text = e.text();
  if (text.isEmpty() || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) return 0;
  const std::string byte = FromQt(text.left(1));
  return byte.empty() ? 0 : static_cast<int16_t>(static_cast<unsigned char>(byte[0]));
}

// A label with room for more lines wraps its words and reads from the top, as a message does.
// A label of one line keeps its text on that line, in the middle of its height, and a text too
// long for it (a picture's path) shows whole in the label's tool tip.
void FitLabel(QLabel* label) {
  const QFontMetrics metrics = label->fontMetrics();
  const bool one_line = label->height() < 2 * metrics.lineSpacing();
  label->setWordWrap(!one_line);
  label->setAlignment(Qt::AlignLeft | (one_line ? Qt::AlignVCenter : Qt::AlignTop));
  const bool cut =
      one_line && metrics.horizontalAdvance(label->text()) > label->contentsRect().width();
  label->setToolTip(cut ? label->text() : QString());
}

QLineEdit* LineEditOf(QWidget* w) {
  if (auto* box = qobject_cast<QComboBox*>(w)) return box->lineEdit();
  return qobject_cast<QLineEdit*>(w);
}

// Buttons show their state by their background, so the colour must come out exactly as given,
// whatever the style: a flat fill with a thin border, and a stronger border on the focused one.
QString ButtonStyle(const Control& c) {
  const QColor back = QtColour(c.BackColor());
  return QString(
             "QPushButton { background-color: %1; color: %2; border: 1px solid #5f5f5f;"
             " border-radius: 3px; padding: 0px 2px; }"
             "QPushButton:focus { border: 2px solid #000080; }"
             "QPushButton:pressed { background-color: %3; border: 2px solid #303030; }"
             "QPushButton:disabled { color: #606060; border-color: #7d7d7d; }")
      .arg(back.name(), ColourName(c.ForeColor()), back.darker(118).name());
}

}  // namespace

FormWindow::FormWindow(QtFrontEnd& ui, forms::Form& form, bool main_window)
    : QWidget(nullptr), ui_(ui), form_(&form), main_window_(main_window) {
  Build();
  form.AddObserver(this);
}

FormWindow::~FormWindow() = default;

void FormWindow::Build() {
  Applying applying(applying_);
  setObjectName(ToQt(form_->Name()));
  if (main_window_) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  } else {
    // A dialog closes only by its own buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }
  setWindowTitle(ToQt(form_->Caption()));
  setAutoFillBackground(true);
  ApplyForm(Prop::BackColor);
  for (const auto& c : form_->Controls()) AddControl(*c);
  ApplyGeometry();
}

void FormWindow::AddControl(Control& c) {
  if (c.GetKind() == Kind::Timer) {
    auto* timer = new QTimer(this);
    timer->setObjectName(ToQt(c.FullName()));
    connect(timer, &QTimer::timeout, this, [this, ctl = &c] { OnTick(ctl); });
    timers_[&c] = timer;
    ApplyTimer(c);
    return;
  }
  QWidget* w = nullptr;
  switch (c.GetKind()) {
    case Kind::Label: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);  // "&" is an ampersand here, not a mnemonic
      w = label;
      break;
    }
    case Kind::TextBox:
      w = new QLineEdit(this);
      break;
    case Kind::ComboBox: {
      auto* box = new QComboBox(this);
      box->setEditable(true);
      box->setInsertPolicy(QComboBox::NoInsert);  // Enter must not add the typed text
      box->setCompleter(nullptr);                 // the program completes nothing itself
      w = box;
      break;
    }
    case Kind::Button: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(true);  // Enter presses the focused button
      w = button;
      break;
    }
    case Kind::PictureBox: {
      auto* picture = new QLabel(this);
      picture->setAlignment(Qt::AlignCenter);
      w = picture;
      break;
    }
    case Kind::Timer:
      return;
  }
  w->setObjectName(ToQt(c.FullName()));
  w->setFont(QtFont(c.GetFont()));
  w->setGeometry(PxRect(c.Geometry()));
  if (c.GetKind() == Kind::Label) FitLabel(static_cast<QLabel*>(w));
  widgets_[&c] = w;
  controls_.insert(w, &c);
  ApplyControl(c, Prop::Text);
  ApplyControl(c, Prop::Items);
  ApplyColours(c, w);
  ApplyPicture(c, w);
  w->setEnabled(c.Enabled());
  w->setHidden(!c.Visible());
  Connect(c, w);
}

void FormWindow::Connect(Control& c, QWidget* w) {
  Control* ctl = &c;
  auto typed = [this, ctl](const QString& text) {
    if (!form_) return;
    ui_.RunGuarded([&] { ctl->UserSetText(FromQt(text)); });
  };
  switch (c.GetKind()) {
    case Kind::Button:
      connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this, [this, ctl] {
        AfterInput([ctl] {
          ctl->SetFocus();
          if (ctl->CanTakeInput()) ctl->RaiseClick();
        });
      });
      w->installEventFilter(this);
      break;
    case Kind::TextBox:
      connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this, typed);
      w->installEventFilter(this);
      break;
    case Kind::ComboBox: {
      auto* box = static_cast<QComboBox*>(w);
      connect(box->lineEdit(), &QLineEdit::textEdited, this, typed);
      connect(box, &QComboBox::activated, this, [this, ctl](int index) {
        AfterInput([ctl, index] {
          ctl->SetListIndex(index);
          ctl->RaiseClick();
        });
      });
      w->installEventFilter(this);
      break;
    }
    default:
      break;
  }
}

QWidget* FormWindow::WidgetOf(const Control& c) const {
  const auto it = widgets_.find(&c);
  return it == widgets_.end() ? nullptr : it->second;
}

void FormWindow::Detach() {
  if (form_) form_->RemoveObserver(this);
  form_ = nullptr;
  for (auto& [c, timer] : timers_) timer->stop();
  hide();
  deleteLater();
}

void FormWindow::Freeze() {
  for (auto& [c, timer] : timers_) timer->stop();
  hide();
}

void FormWindow::MakeTopMost() {
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, true);  // hides the window while its flags change
  if (shown) show();
  raise();
  activateWindow();
}

// Model to widgets.

void FormWindow::ControlChanged(Control& c, Prop what) {
  if (!form_) return;
  if (!WidgetOf(c) && !timers_.count(&c)) {
    // A control added after the window was built: it is drawn from its whole state at once.
    AddControl(c);
    return;
  }
  ApplyControl(c, what);
}

void FormWindow::FormChanged(forms::Form&, Prop what) {
  if (form_) ApplyForm(what);
}

void FormWindow::FocusChanged(forms::Form&, Control* now) {
  if (!form_ || !now) return;
  QWidget* w = WidgetOf(*now);
  if (!w || w->hasFocus()) return;
  Applying applying(applying_);
  w->setFocus(Qt::OtherFocusReason);
}

void FormWindow::ApplyControl(Control& c, Prop what) {
  if (c.GetKind() == Kind::Timer) {
    if (what == Prop::Enabled || what == Prop::Timer) ApplyTimer(c);
    return;
  }
  QWidget* w = WidgetOf(c);
  if (!w) return;
  Applying applying(applying_);
  const QSignalBlocker block(w);
  QLineEdit* edit = LineEditOf(w);
  const QSignalBlocker block_edit(edit);
  switch (what) {
    case Prop::Text:
      switch (c.GetKind()) {
        case Kind::Label:
          static_cast<QLabel*>(w)->setText(LabelText(c.Text()));
          FitLabel(static_cast<QLabel*>(w));
          break;
        case Kind::Button:
          static_cast<QPushButton*>(w)->setText(ToQt(c.Text()));
          break;
        case Kind::TextBox:
        case Kind::ComboBox:
          // Only a real change, so that the cursor stays where the user is typing.
          if (edit && edit->text() != ToQt(c.Text())) edit->setText(ToQt(c.Text()));
          break;
        default:
          break;
      }
      break;
    case Prop::Enabled:
      w->setEnabled(c.Enabled());
      break;
    case Prop::Visible:
      w->setHidden(!c.Visible());
      break;
    case Prop::BackColor:
    case Prop::ForeColor:
      ApplyColours(c, w);
      break;
    case Prop::Items:
      // The invoice list is filled one entry at a time, thousands of them: the widget takes the
      // whole list once, when Qt is back in its event loop.
      if (items_due_.empty()) QTimer::singleShot(0, this, [this] { ApplyDueItems(); });
      items_due_.insert(&c);
      break;
    case Prop::ListIndex:
      if (auto* box = qobject_cast<QComboBox*>(w)) {
        box->setCurrentIndex(c.ListIndex());
        box->setEditText(ToQt(c.Text()));  // the model's text holds, whatever the entry says
      }
      break;
    case Prop::Geometry:
      w->setGeometry(PxRect(c.Geometry()));
      if (c.GetKind() == Kind::Label) FitLabel(static_cast<QLabel*>(w));
      ApplyPicture(c, w);
      break;
    case Prop::Picture:
      ApplyPicture(c, w);
      break;
    case Prop::Font:
      w->setFont(QtFont(c.GetFont()));
      if (c.GetKind() == Kind::Label) FitLabel(static_cast<QLabel*>(w));
      break;
    case Prop::Timer:
      break;
  }
}

void FormWindow::ApplyDueItems() {
  std::set<Control*> due;
  due.swap(items_due_);
  if (!form_) return;
  Applying applying(applying_);
  for (Control* c : due) {
    QWidget* w = WidgetOf(*c);
    if (!w) continue;
    const QSignalBlocker block(w);
    const QSignalBlocker block_edit(LineEditOf(w));
    ApplyItems(*c, w);
  }
}

void FormWindow::ApplyItems(Control& c, QWidget* w) {
  auto* box = qobject_cast<QComboBox*>(w);
  if (!box) return;
  QStringList items;
  for (const std::string& item : c.Items()) items << ToQt(item);
  box->clear();
  box->addItems(items);
  box->setCurrentIndex(c.ListIndex());
  box->setEditText(ToQt(c.Text()));
}

void FormWindow::ApplyColours(Control& c, QWidget* w) {
  if (c.GetKind() == Kind::Button) {
    w->setStyleSheet(ButtonStyle(c));
    return;
  }
  QPalette p = w->palette();
  const QColor back = QtColour(c.BackColor()), fore = QtColour(c.ForeColor());
  switch (c.GetKind()) {
    case Kind::Label:
    case Kind::PictureBox:
      p.setColor(QPalette::Window, back);
      p.setColor(QPalette::WindowText, fore);
      w->setAutoFillBackground(!c.Transparent());
      break;
    case Kind::TextBox:
    case Kind::ComboBox:
      for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, back);
      for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(role, fore);
      break;
    default:
      break;
  }
  w->setPalette(p);
}

void FormWindow::ApplyPicture(Control& c, QWidget* w) {
  if (c.Picture().empty()) return;
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    const int side = std::max(8, std::min(w->width(), w->height()) - 8);
    const QPixmap pm = PictureOf(c.Picture(), QSize(side, side), devicePixelRatioF());
    button->setIcon(QIcon(pm));
    button->setIconSize(QSize(side, side));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    QPixmap pm = PictureOf(c.Picture(), w->size(), devicePixelRatioF());
    if (!pm.isNull() && (pm.width() > w->width() || pm.height() > w->height()))
      pm = pm.scaled(w->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    label->setPixmap(pm);
  }
}

void FormWindow::ApplyTimer(Control& c) {
  QTimer* timer = timers_.at(&c);
  if (c.Enabled() && c.Interval() > 0 && !ui_.Ended()) {
    // A new interval starts the count afresh; switching on a running timer does not.
    if (!timer->isActive() || timer->interval() != c.Interval()) timer->start(c.Interval());
  } else {
    timer->stop();
  }
}

void FormWindow::ApplyForm(Prop what) {
  switch (what) {
    case Prop::Text:
      setWindowTitle(ToQt(form_->Caption()));
      break;
    case Prop::Visible:
      if (form_->Visible() && !ui_.Ended()) {
        show();
        raise();
        activateWindow();
      } else {
        hide();
      }
      break;
    case Prop::BackColor: {
      QPalette p = palette();
      p.setColor(QPalette::Window, QtColour(form_->BackColor()));
      setPalette(p);
      break;
    }
    case Prop::Geometry:
      ApplyGeometry();
      break;
    default:
      break;  // a disabled form keeps its look; the front end holds its input back
  }
}

void FormWindow::ApplyGeometry() {
  const forms::Rect r = form_->Geometry();
  setFixedSize(Px(r.width), Px(r.height));
  if (!main_window_) {
    move(Px(r.left), Px(r.top));
  } else if (!placed_) {
    // The main window opens in the middle of the screen.
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
      const QRect area = s->availableGeometry();
      move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
  }
  placed_ = true;
}

// The user to the model.

void FormWindow::OnTick(Control* c) {
  if (!form_ || ui_.Ended() || !ui_.EnterTick()) return;
  ui_.RunGuarded([c] { c->RaiseTick(); });
  ui_.LeaveTick();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!form_) return false;
  Control* c = controls_.value(watched);
  if (!c) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
      OnFocusIn(*c, static_cast<const QFocusEvent&>(*event));
      return false;
    case QEvent::KeyPress:
      if (c->GetKind() == Kind::TextBox || c->GetKind() == Kind::ComboBox)
        return OnKey(*c, static_cast<const QKeyEvent&>(*event));
      return false;
    default:
      return false;
  }
}

void FormWindow::AfterInput(std::function<void()> work) {
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)] {
        if (form_ && !ui_.Ended()) ui_.RunGuarded(work);
      },
      Qt::QueuedConnection);
}

void FormWindow::OnFocusIn(Control& c, const QFocusEvent& e) {
  if (applying_ > 0 || ui_.Ended() || form_->Focus() == &c) return;
  const Qt::FocusReason reason = e.reason();
  const bool by_user = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                       reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
  // The focus handlers let pending events run: inside the press that moved the focus they would
  // take its release, and the button would never see its click.
  AfterInput([this, &c, by_user] {
    if (form_->Focus() == &c) return;
    if (by_user && c.CanTakeInput()) {
      form_->MoveFocus(&c);
      return;
    }
    // Qt moved the focus on its own (a window coming back to the front): the model's focus holds.
    if (!form_->Focus()) return;
    QWidget* w = WidgetOf(*form_->Focus());
    if (!w || w->hasFocus() || !w->isEnabled() || !w->isVisible()) return;
    Applying applying(applying_);
    w->setFocus(Qt::OtherFocusReason);
  });
}

bool FormWindow::StillTyping(const Control& c) const {
  return form_ && c.CanTakeInput() && form_->Focus() == &c;
}

// Key-down first, then key-press for keys that type something, as the program's handlers expect;
// a handler that sets the key to 0 keeps it from the widget. True when the widget must not see
// the key.
bool FormWindow::OnKey(Control& c, const QKeyEvent& e) {
  if (ui_.Ended()) return true;
  const int16_t code = KeyCodeOf(e);
  const int16_t typed = AsciiOf(e);
  if (code == 0 && typed == 0) return false;
  bool swallow = false;
  int16_t ascii = typed;
  ui_.RunGuarded([&] {
    if (form_->Focus() != &c) c.SetFocus();
    if (!StillTyping(c)) {
      swallow = true;
      return;
    }
    if (code != 0) {
      int16_t key = code;
      c.RaiseKeyDown(key);
      // Up and Down belong to the program's handlers; the widget itself does not step through
      // its list.
      if (key == 0 || code == forms::kKeyUp || code == forms::kKeyDown || !StillTyping(c)) {
        swallow = true;
        return;
      }
    }
    if (typed == 0) return;
    c.RaiseKeyPress(ascii);
    if (ascii == 0 || !StillTyping(c)) swallow = true;
  });
  if (!form_ || ui_.Ended()) return true;
  if (!swallow && ascii != typed && ascii >= 0x20) {
    // The handler changed the character (to upper case, say): type that one instead.
    if (QLineEdit* edit = LineEditOf(WidgetOf(c))) {
      edit->insert(ToQt(std::string(1, static_cast<char>(ascii))));
      const QString text = edit->text();
      ui_.RunGuarded([&] { c.UserSetText(FromQt(text)); });
    }
    return true;
  }
  return swallow;
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // Qt's close never goes through by itself: only the form (or the end of the run) decides.
  event->ignore();
  if (!form_ || !main_window_ || ui_.Ended() || !form_->Enabled()) return;
  bool may_go = false;
  ui_.RunGuarded([&] { may_go = form_->RequestClose(); });
  // The form agreed to go: with the main window gone the run is over.
  if (may_go && form_ && !ui_.Ended()) ui_.EndRun(0);
}

}  // namespace kvor::ui
