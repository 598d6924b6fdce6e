// One shown form as a top-level Qt window: a widget per control, placed in pixels from the
// model's twips, updated from the model through the observer interface, and the user's input
// handed back to the model as its events.
#pragma once

#include <QHash>
#include <QWidget>
#include <functional>
#include <map>
#include <set>

#include "platform/forms/forms.h"

class QTimer;
class QKeyEvent;
class QFocusEvent;

namespace kvor::ui {

class QtFrontEnd;

class FormWindow : public QWidget, public forms::FormObserver {
 public:
  FormWindow(QtFrontEnd& ui, forms::Form& form, bool main_window);
  ~FormWindow() override;  // never touches the form: it may be gone already

  forms::Form* Model() const { return form_; }
  // Stops drawing the form: the window hides, stops its timers, forgets the form and is deleted
  // once Qt is back in its event loop (the caller may be one of its own slots).
  void Detach();
  // The form is about to go or is gone: forget it without touching it.
  void Abandon() { form_ = nullptr; }
  // The run has ended: hide and stop the timers, but keep following the form.
  void Freeze();
  void MakeTopMost();

  QWidget* WidgetOf(const forms::Control& c) const;

  void ControlChanged(forms::Control& c, forms::Prop what) override;
  void FormChanged(forms::Form& f, forms::Prop what) override;
  void FocusChanged(forms::Form& f, forms::Control* now) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  void AddControl(forms::Control& c);
  void Connect(forms::Control& c, QWidget* w);
  void ApplyControl(forms::Control& c, forms::Prop what);
  void ApplyForm(forms::Prop what);
  void ApplyColours(forms::Control& c, QWidget* w);
  void ApplyPicture(forms::Control& c, QWidget* w);
  void ApplyItems(forms::Control& c, QWidget* w);
  void ApplyDueItems();
  void ApplyTimer(forms::Control& c);
  void ApplyGeometry();
  void OnTick(forms::Control* c);
  // Runs model work for the user's input on the next turn of Qt's event loop, once Qt has
  // finished delivering that input: model handlers let pending events run, and inside the
  // delivery of a press they would take the release that belongs to it.
  void AfterInput(std::function<void()> work);
  void OnFocusIn(forms::Control& c, const QFocusEvent& e);
  bool OnKey(forms::Control& c, const QKeyEvent& e);
  bool StillTyping(const forms::Control& c) const;

  QtFrontEnd& ui_;
  forms::Form* form_;
  bool main_window_;
  bool placed_ = false;
  int applying_ = 0;  // above 0 while model changes are copied to the widgets
  std::map<const forms::Control*, QWidget*> widgets_;
  std::map<const forms::Control*, QTimer*> timers_;
  std::set<forms::Control*> items_due_;  // lists changed since Qt last ran its event loop
  QHash<const QObject*, forms::Control*> controls_;
};

}  // namespace kvor::ui
