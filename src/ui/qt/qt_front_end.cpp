#include "ui/qt/qt_front_end.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "core/context.h"
#include "ui/qt/conversions.h"
#include "ui/qt/form_window.h"

namespace kvor::ui {

QtFrontEnd::QtFrontEnd() {
  // One style everywhere, so that the colours of fields and lists come out as the program sets
  // them on any desktop.
  if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
  qApp->installEventFilter(this);
}

QtFrontEnd::~QtFrontEnd() {
  if (qApp) qApp->removeEventFilter(this);
  for (auto& [form, window] : windows_) {
    if (!window) continue;
    window->Abandon();
    delete window.data();
  }
}

void QtFrontEnd::RunGuarded(const std::function<void()>& work) {
  if (ended_) return;
  try {
    work();
  } catch (const ProgramEnd& end) {
    EndRun(end.code);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "trv00381: internal fault: %s\n", e.what());
    EndRun(70);
  } catch (...) {
    std::fprintf(stderr, "trv00381: internal fault\n");
    EndRun(70);
  }
}

void QtFrontEnd::EndRun(int code) {
  if (ended_) return;
  ended_ = true;
  exit_code_ = code;
  for (auto& [form, window] : windows_)
    if (window) window->Freeze();
  QCoreApplication::exit(code);
}

void QtFrontEnd::ThrowIfEnded() const {
  if (ended_) throw ProgramEnd{exit_code_};
}

bool QtFrontEnd::EnterTick() {
  if (ticking_) return false;
  ticking_ = true;
  return true;
}

QWidget* QtFrontEnd::WindowOf(const forms::Form& f) const {
  const auto it = windows_.find(&f);
  return it == windows_.end() ? nullptr : it->second.data();
}

void QtFrontEnd::DoEvents() {
  ThrowIfEnded();
  QCoreApplication::processEvents();
  ThrowIfEnded();
}

void QtFrontEnd::Sleep(int ms) {
  ThrowIfEnded();
  // Waits on Qt's event queue, not in a QEventLoop, so that input and timers keep running and an
  // end of the run stops the wait at once.
  const QDeadlineTimer deadline(std::max(ms, 0), Qt::PreciseTimer);
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  while (!deadline.hasExpired()) {
    if (!wake.isActive()) wake.start(std::max<int>(1, static_cast<int>(deadline.remainingTime())));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ThrowIfEnded();
  }
}

void QtFrontEnd::Show(forms::Form& f) {
  QPointer<FormWindow>& window = windows_[&f];
  if (!window) window = new FormWindow(*this, f, IsMainForm(f));
  if (f.Visible()) {
    if (!ended_) window->show();
  } else {
    f.SetVisible(true);  // the window follows the form and shows itself
  }
}

void QtFrontEnd::Hide(forms::Form& f) {
  f.SetVisible(false);
  const auto it = windows_.find(&f);
  if (it == windows_.end()) return;
  // The form goes away right after this: the window lets go of it now.
  if (it->second) it->second->Detach();
  windows_.erase(it);
}

void QtFrontEnd::SetTopMost(forms::Form& f) {
  const auto it = windows_.find(&f);
  if (it != windows_.end() && it->second && !ended_) it->second->MakeTopMost();
}

forms::Rect QtFrontEnd::Screen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QSize size = screen->geometry().size();
  return {0, 0, size.width() * forms::kTwipsPerPixel, size.height() * forms::kTwipsPerPixel};
}

forms::BoxAnswer QtFrontEnd::MessageBox(const std::string& title, const std::string& text,
                                        forms::BoxButtons buttons, forms::BoxIcon icon,
                                        forms::BoxAnswer default_answer) {
  using forms::BoxAnswer;
  ThrowIfEnded();
  QMessageBox::Icon qicon = QMessageBox::Warning;
  switch (icon) {
    case forms::BoxIcon::Exclamation:
      qicon = QMessageBox::Warning;
      break;
    case forms::BoxIcon::Critical:
      qicon = QMessageBox::Critical;
      break;
    case forms::BoxIcon::Information:
      qicon = QMessageBox::Information;
      break;
    case forms::BoxIcon::Question:
      qicon = QMessageBox::Question;
      break;
  }
  QWidget* parent = main_ ? WindowOf(*main_) : nullptr;
  if (parent && !parent->isVisible()) parent = nullptr;
  QMessageBox box(qicon, ToQt(title), LabelText(text), QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* ok = nullptr;
  if (buttons == forms::BoxButtons::YesNo) {
    yes = box.addButton("Ja", QMessageBox::YesRole);
    no = box.addButton("Nej", QMessageBox::NoRole);
    box.setDefaultButton(default_answer == BoxAnswer::Yes ? yes : no);
    box.setEscapeButton(no);
  } else {
    ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
  }
  box.exec();
  ThrowIfEnded();
  if (box.clickedButton() == yes && yes) return BoxAnswer::Yes;
  if (box.clickedButton() == no && no) return BoxAnswer::No;
  return buttons == forms::BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

bool QtFrontEnd::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
      break;
    default:
      return false;
  }
  if (!watched->isWidgetType()) return false;
  const QWidget* top = static_cast<QWidget*>(watched)->window();
  for (const auto& [form, window] : windows_) {
    if (window.data() != top) continue;
    const forms::Form* model = window->Model();
    return ended_ || !model || !model->Enabled();
  }
  return false;
}

}  // namespace kvor::ui
