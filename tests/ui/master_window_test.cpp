// The Qt front end under the offscreen platform: the main window after the start-up, and the
// message window's own wait loop. (The real window under X is driven in window_flow_test.cpp.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/context.h"
#include "dialogs/messages.h"
#include "frame/program.h"
#include "support/scripted_run.h"
#include "ui/qt/qt_front_end.h"

namespace kvor::ui {
namespace {

// One QApplication for the whole test program, gone again before the program exits.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// A program drawn by the Qt front end.
struct WindowsRun {
  WindowsRun() : program(front_end, clock, clipboard, transcript, install.Start()) {
    front_end.SetMainForm(ctx().main.form);
  }
  Context& ctx() { return program.ctx; }
  void StartUp() {
    front_end.RunGuarded([this] { ctx().main.form.Load(); });
    QCoreApplication::processEvents();
  }
  // A widget of the main window by its control's name.
  template <class W>
  W* Find(const char* name) {
    return front_end.WindowOf(ctx().main.form)->findChild<W*>(QString::fromUtf8(name));
  }

  test::DemoInstallation install;
  forms::Transcript transcript;
  QtFrontEnd front_end;
  sys::Clock clock{sys::LocalTime{2022, 10, 19, 0, 0, 0}};
  sys::MemoryClipboard clipboard;
  frame::Program program;
};

TEST(MainWindow, OpensAtItsFixedLookItsWidgetsAndTheModelFollowEachOtherAndAnEndUnwindsAMessage) {
  WindowsRun run;
  run.StartUp();
  ASSERT_FALSE(run.front_end.Ended()) << "the start-up ended the program";
  QWidget* window = run.front_end.WindowOf(run.ctx().main.form);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(800, 560));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("TRV00381 · KVOR · 2022-10-19"));
  // Captions keep their letters and their access-key marks as the toolkit writes them.
  EXPECT_EQ(run.Find<QPushButton>("CmdExit")->text(), QString::fromUtf8("ÅTER"));
  EXPECT_EQ(run.Find<QPushButton>("CmdSänd")->text(), "&Skicka");
  QSet<QString> captions;
  for (const QLabel* l : window->findChildren<QLabel*>()) captions.insert(l->text());
  for (const char* caption :
       {" Utskrifta KundFaktura!", "Företag:", "Faktura:", "Leveransadress:", "Företagsuppgifter:",
        "PEFC/FSC-kod:", "(E-faktura)", "Tryck [0] till [9] för FakturaNummer!",
        "Notera om KundFakturan har uppgift om E-fakturering!",
        "Tryck SkickaKnappen för att överföra KundFakturan som E-faktura!"})
    EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;

  const QImage image = window->grab().toImage();
  const char* dir = std::getenv("KVOR_WRITE_DOCS");
  const std::filesystem::path folder = dir && std::string(dir) == "1"
                                           ? std::filesystem::path(KVOR_SOURCE_DIR) / "docs"
                                           : std::filesystem::path(KVOR_BINARY_DIR);
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(image.save(QString::fromStdString((folder / "master.png").string())));
  // Inside the border, above the caption.
  auto colour_of = [&](const char* name) {
    const QPushButton* b = run.Find<QPushButton>(name);
    const QPoint at(b->geometry().center().x(), b->geometry().top() + 4);
    return image.pixelColor(at * window->devicePixelRatioF()).name().toUpper();
  };
  EXPECT_EQ(colour_of("CmdExit"), "#FFFFC0");
  EXPECT_EQ(colour_of("CmdKlar"), "#959595");

  // The invoice list reaches its widget whole, after the sample installation's eleven.
  const QComboBox* box = run.Find<QComboBox>("CboNmmr");
  forms::Control& list = *run.ctx().main.CboNmmr;
  for (int i = 0; i < 20000; ++i) list.AddItem(std::to_string(300000 + i) + " 20261201", i);
  QCoreApplication::processEvents();
  ASSERT_EQ(box->count(), 20011);
  EXPECT_EQ(box->itemText(0), "300000 20261201");
  EXPECT_EQ(box->itemText(20000).left(7), "241001 ");

  forms::Control& field = *run.ctx().main.TxtNmmr;
  QLineEdit* edit = run.Find<QLineEdit>("TxtNmmr");
  auto type = [&](const char* digits) {
    for (const char* d = digits; *d; ++d) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key(Qt::Key_0 + *d - '0'), Qt::NoModifier,
                      QString(QChar(*d)));
      QApplication::sendEvent(edit, &press);
    }
  };
  type("24");
  EXPECT_EQ(field.Text(), "24");
  // While a message is up the main window is disabled: keys do not reach it.
  run.ctx().main.form.SetEnabled(false);
  type("9");
  EXPECT_EQ(field.Text(), "24");
  run.ctx().main.form.SetEnabled(true);

  type("1003");
  QCoreApplication::processEvents();
  EXPECT_EQ(run.Find<QLabel>("LblVkod")->text(), "EUR");  // the lookup reached the labels
  // A one-line label keeps a text too long for it on its line and shows it whole as a tool tip.
  QLabel* path = run.Find<QLabel>("LblBfile");
  run.ctx().main.LblBfile->SetText("C:\\KVOR   \\BILDER\\001FOTLOGGA.BMP");
  EXPECT_EQ(path->toolTip(), QString("C:\\KVOR   \\BILDER\\001FOTLOGGA.BMP"));
  run.ctx().main.LblBfile->SetText("C:");
  EXPECT_EQ(path->toolTip(), QString());
  EXPECT_EQ(window->focusWidget(), run.Find<QPushButton>("CmdKlar"));

  // Text set by the program shows as it is, without coming back as the user's typing.
  int changes = 0;
  field.Change = [&] { ++changes; };
  field.SetText("\xC5\xC4\xD6");
  EXPECT_EQ(edit->text(), QString::fromUtf8("ÅÄÖ"));
  EXPECT_EQ(changes, 1);

  // Something Qt calls into while a message waits ends the program: the end unwinds to the guard.
  QTimer::singleShot(150, [&run] { run.front_end.RunGuarded([] { throw ProgramEnd{4}; }); });
  bool returned = false;
  run.front_end.RunGuarded([&] {
    dialogs::ShowMessage(run.ctx(), "", dialogs::kInformation);
    returned = true;
  });
  EXPECT_FALSE(returned);
  EXPECT_TRUE(run.front_end.Ended());
  EXPECT_EQ(run.front_end.ExitCode(), 4);
  EXPECT_THROW(run.front_end.DoEvents(), ProgramEnd);
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->objectName() == "MSFORM" && w->isVisible());
}

}  // namespace
}  // namespace kvor::ui
