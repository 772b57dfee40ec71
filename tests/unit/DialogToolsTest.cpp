// The dialogs: texts, buttons and log lines of every alert, error names, prompts and the
// number field, the About window's heights, the text window.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "dialogs/DialogTools.h"
#include "dialogs/GameAbout.h"
#include "dialogs/NumberField.h"
#include "dialogs/Prompter.h"
#include "dialogs/StringWidth.h"
#include "dialogs/TextWindow.h"
#include "platform/QtDialogs.h"
#include "support/Errors.h"
#include "tests/unit/ShellTestSupport.h"
#include "window/RuntimeMenu.h"

namespace qm::test {
namespace {

QJsonObject dialogEvent(const char* kind, const std::string& message,
                        const std::string& explanation, const char* answer) {
  return {{"ev", "dialog"},
          {"kind", kind},
          {"message", QString::fromStdString(message)},
          {"explanation", QString::fromStdString(explanation)},
          {"answer", answer}};
}

TEST(DialogTexts, AlertsShowTheirTextsButtonsAndKinds) {
  DialogsScope dialogs;
  LogCapture log;
  DialogTools::Note("Saved.", false);
  DialogTools::NoteVerbose("Saved.", "In slot 2.", true);
  DialogTools::Caution("Careful!", true);
  DialogTools::CautionVerbose("Careful!", "The bridge is out.", false);
  DialogTools::Fatal("Out of cheese.");
  DialogTools::FatalVerbose("Can't find quillmark.dat.", "Data may be missing.");
  DialogTools::MessageBox("Listen error!");
  const auto events = log.events();
  const std::vector<QJsonObject> expected = {
      dialogEvent("note", "Saved.", "", "OK"),
      dialogEvent("note", "Saved.", "In slot 2.", "OK"),
      dialogEvent("caution", "Careful!", "", "OK"),
      dialogEvent("caution", "Careful!", "The bridge is out.", "OK"),
      dialogEvent("fatal", "Out of cheese.", "", "OK"),
      dialogEvent("fatal", "Can't find quillmark.dat.", "Data may be missing.", "OK"),
      dialogEvent("message", "Listen error!", "", "OK"),
  };
  EXPECT_EQ(events, expected);
  const auto& a = dialogs->alerts;
  ASSERT_EQ(a.size(), 7u);
  const AlertIcon icons[] = {AlertIcon::Note,    AlertIcon::Note,    AlertIcon::Caution,
                             AlertIcon::Caution, AlertIcon::Caution, AlertIcon::Caution};
  const bool beeps[] = {false, true, true, false, true, true};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(a[i].icon, icons[i]) << i;
    EXPECT_EQ(a[i].beep, beeps[i]) << i;
    EXPECT_EQ(a[i].okCaption, "OK") << i;
    EXPECT_TRUE(a[i].cancelCaption.empty() && a[i].altCaption.empty()) << i;
  }
}

TEST(DialogTexts, QuickMessageDialogAnswersWithTheButtonPressed) {
  DialogsScope dialogs;
  LogCapture log;
  // Nothing queued: the default button.
  EXPECT_EQ(DialogTools::QuickMessageDialog(0, "Save?", "", "Save", "Cancel", "Don't", false),
            "Save");
  dialogs->queue({QueuedAnswer::Kind::Answer, "don't", 0});
  EXPECT_EQ(DialogTools::QuickMessageDialog(1, "Save?", "", "Save", "Cancel", "Don't", true),
            "Don't");
  dialogs->queue({QueuedAnswer::Kind::Cancel, {}, 0});
  EXPECT_EQ(DialogTools::QuickMessageDialog(2, "Save?", "x", "Save", "Cancel", "", false),
            "Cancel");
  // An answer that names no button presses the default one, with a warning.
  dialogs->queue({QueuedAnswer::Kind::Answer, "Maybe", 0});
  EXPECT_EQ(DialogTools::QuickMessageDialog(0, "Save?", "", "Save", "", "", false), "Save");
  EXPECT_EQ(dialogs.warnings.size(), 1u);

  EXPECT_EQ(dialogs->alerts[1].icon, AlertIcon::Caution);
  EXPECT_EQ(dialogs->alerts[2].icon, AlertIcon::Caution);  // icon 2 shows as caution
  const auto events = log.events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0]["kind"], "note");
  EXPECT_EQ(events[1], dialogEvent("caution", "Save?", "", "Don't"));
  EXPECT_EQ(events[2]["kind"], "caution");
}

TEST(DialogTexts, ErrorNamesFollowTheKind) {
  const std::pair<std::exception_ptr, const char*> cases[] = {
      {std::make_exception_ptr(NilObjectException()), "NilObjectException"},
      {std::make_exception_ptr(IllegalCastException()), "IllegalCastException"},
      {std::make_exception_ptr(StackOverflowException()), "StackOverflowException"},
      {std::make_exception_ptr(OutOfBoundsException()), "OutOfBoundsException"},
      {std::make_exception_ptr(TypeMismatchException()), "TypeMismatchException"},
      {std::make_exception_ptr(OutOfMemoryException()), "OutOfMemoryException"},
      {std::make_exception_ptr(std::bad_alloc()), "OutOfMemoryException"},
      {std::make_exception_ptr(UnsupportedFormatException()), "UnsupportedFormatException"},
      {std::make_exception_ptr(KeyNotFoundException()), "KeyNotFoundException"},
      {std::make_exception_ptr(EndException()), "EndException"},
      {std::make_exception_ptr(IOException()), "UnknownException"},
      {std::make_exception_ptr(std::runtime_error("x")), "UnknownException"},
      {std::make_exception_ptr(42), "UnknownException"},
  };
  for (const auto& [error, name] : cases) EXPECT_EQ(DialogTools::ErrorToString(error), name);
}

TEST(DialogTexts, ExceptionDialogReportsAndPassesTheQuitRequestOn) {
  DialogsScope dialogs;
  LogCapture log;
  DialogTools::ExceptionDialog(std::make_exception_ptr(NilObjectException()),
                               "GameWindow.DrawPicture");
  EXPECT_EQ(log.events(), std::vector<QJsonObject>{dialogEvent(
                              "exception",
                              "Sorry, an unexpected \"NilObjectException\" has occurred in "
                              "GameWindow.DrawPicture.",
                              "Please contact Quillmark support.", "OK")});
  EXPECT_THROW(DialogTools::ExceptionDialog(std::make_exception_ptr(EndException()), "X"),
               EndException);
  EXPECT_EQ(log.events().size(), 1u);
}

TEST(DialogTexts, DialogsEndWithTheQuitRequestWhenOneArrivedMeanwhile) {
  DialogsScope dialogs;
  ResetQuitRequest();
  RequestQuit(0);
  EXPECT_THROW(DialogTools::Note("Bye", false), EndException);
  ResetQuitRequest();
}

TEST(DialogPrompt, TextPromptAnswersCancelsAndLogs) {
  DialogsScope dialogs;
  LogCapture log;
  std::string result = "old";
  // Nothing queued: Cancel.
  EXPECT_FALSE(DialogTools::Prompt("Name?", "Bob", 0, result, false, nullptr));
  EXPECT_EQ(result, "");
  dialogs->queue({QueuedAnswer::Kind::Answer, "Alice Smith", 0});
  EXPECT_TRUE(DialogTools::Prompt("Name?", "Bob", 5, result, false, nullptr));
  EXPECT_EQ(result, "Alice");  // cut at the maximum length
  dialogs->queue({QueuedAnswer::Kind::Answer, "12a.3.4", 0});
  EXPECT_TRUE(DialogTools::Prompt("Age?", "", 0, result, true, nullptr));
  EXPECT_EQ(result, "12.34");
  dialogs->queue({QueuedAnswer::Kind::Cancel, {}, 0});
  EXPECT_FALSE(DialogTools::Prompt("Age?", "3", 0, result, true, nullptr));
  EXPECT_EQ(result, "");
  const std::vector<QJsonObject> expected = {
      {{"ev", "prompt"}, {"kind", "text"}, {"question", "Name?"}, {"answer", QJsonValue()}},
      {{"ev", "prompt"}, {"kind", "text"}, {"question", "Name?"}, {"answer", "Alice"}},
      {{"ev", "prompt"}, {"kind", "number"}, {"question", "Age?"}, {"answer", "12.34"}},
      {{"ev", "prompt"}, {"kind", "number"}, {"question", "Age?"}, {"answer", QJsonValue()}},
  };
  EXPECT_EQ(log.events(), expected);
}

TEST(DialogPrompt, ChoicePromptChoosesPreselectsAndKeepsTheIndexOnCancel) {
  DialogsScope dialogs;
  LogCapture log;
  const std::vector<std::string> colours = {"Red", "Green", "Blue"};
  int64_t chosen = 0;
  dialogs->queue({QueuedAnswer::Kind::Choose, {}, 3});
  EXPECT_TRUE(DialogTools::Prompt("Colour?", "Pick", colours, chosen, 1, nullptr));
  EXPECT_EQ(chosen, 3);
  dialogs->queue({QueuedAnswer::Kind::Answer, "green", 0});
  EXPECT_TRUE(DialogTools::Prompt("Colour?", "Pick", colours, chosen, 1, nullptr));
  EXPECT_EQ(chosen, 2);
  dialogs->queue({QueuedAnswer::Kind::Cancel, {}, 0});
  EXPECT_FALSE(DialogTools::Prompt("Colour?", "Pick", colours, chosen, 1, nullptr));
  EXPECT_EQ(chosen, 2);
  dialogs->queue({QueuedAnswer::Kind::Choose, {}, 4});  // no such row: cancelled, with a warning
  EXPECT_FALSE(DialogTools::Prompt("Colour?", "Pick", colours, chosen, 1, nullptr));
  EXPECT_EQ(dialogs.warnings.size(), 1u);
  const auto events = log.events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(
      events[0],
      QJsonObject({{"ev", "prompt"}, {"kind", "choice"}, {"question", "Colour?"}, {"answer", 3}}));
  EXPECT_TRUE(events[2]["answer"].isNull());

  // The pre-selected row: default index - 1, not below the first row.
  for (const auto& [defaultIndex, row] :
       {std::pair{0, 0}, std::pair{1, 0}, std::pair{3, 2}, std::pair{-5, 0}}) {
    Prompter p;
    p.setUpChoice("Q", "T");
    for (const auto& c : colours) p.addChoice(QString::fromStdString(c));
    p.selectDefault(defaultIndex);
    EXPECT_EQ(p.PopupMenu1->currentIndex(), row) << defaultIndex;
  }
}

TEST(DialogPrompt, PromptWindowLayout) {
  Prompter p;
  p.setUpText("How many?", "7", 0, true);
  EXPECT_EQ(p.windowTitle(), "Question");
  EXPECT_EQ(p.content()->size(), QSize(424, 142));
  EXPECT_EQ(p.Canvas1->geometry(), QRect(20, 20, 64, 64));
  EXPECT_EQ(p.Prompt->geometry(), QRect(104, 17, 300, 36));
  EXPECT_EQ(p.Prompt->text(), "How many?");
  EXPECT_EQ(p.PopupMenu1->geometry(), QRect(104, 62, 300, 22));
  EXPECT_EQ(p.EditField1->geometry(), p.PopupMenu1->geometry());
  EXPECT_TRUE(p.PopupMenu1->isHidden());
  EXPECT_EQ(p.PushButton1->geometry(), QRect(324, 102, 80, 20));
  EXPECT_EQ(p.PushButton1->text(), "OK");
  EXPECT_TRUE(p.PushButton1->isDefault());
  EXPECT_EQ(p.PushButton2->geometry(), QRect(232, 102, 80, 20));
  EXPECT_EQ(p.PushButton2->text(), "Cancel");
  EXPECT_EQ(p.EditField1->selectedText(), "7");
  EXPECT_TRUE(p.EditField1->NumberMode);

  // OK and Cancel set didit.
  p.PushButton1->click();
  EXPECT_TRUE(p.didit);
  p.PushButton2->click();
  EXPECT_FALSE(p.didit);

  Prompter choice;
  choice.setUpChoice("Which?", "Doors");
  EXPECT_EQ(choice.windowTitle(), "Doors");
  EXPECT_TRUE(choice.EditField1->isHidden());
  EXPECT_FALSE(choice.PopupMenu1->isHidden());
}

// Types one key into the field as the keyboard would.
void typeKey(NumberField& f, int key, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&f, &down);
}

TEST(DialogNumberField, KeysAreFilteredToANumber) {
  struct Case {
    const char* start;
    int cursor;
    int key;
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {"12", 2, Qt::Key_3, "3", "123"},
      {"12", 2, Qt::Key_A, "a", "12"},  // letters refused
      {"12", 2, Qt::Key_Period, ".", "12."},
      {"1.2", 3, Qt::Key_Period, ".", "1.2"},  // one point only
      {"12", 0, Qt::Key_Minus, "-", "-12"},    // a sign at the start
      {"12", 1, Qt::Key_Minus, "-", "12"},     // and nowhere else
      {"12", 0, Qt::Key_Plus, "+", "+12"},
      {"12", 2, Qt::Key_Space, " ", "12 "},  // space is let through
      {"12", 2, Qt::Key_Backspace, "\b", "1"},
      {"12", 0, Qt::Key_Delete, "\x7f", "2"},
      {"12", 2, Qt::Key_Left, "", "12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " + " + c.text);
    NumberField f;
    f.setText(c.start);
    f.setCursorPosition(c.cursor);
    typeKey(f, c.key, c.text);
    EXPECT_EQ(f.text(), c.result);
  }
  NumberField integers;
  integers.IntegersOnly = true;
  typeKey(integers, Qt::Key_Period, ".");
  EXPECT_EQ(integers.text(), "");
  NumberField noSign;
  noSign.PlusMinusAllowed = false;
  typeKey(noSign, Qt::Key_Minus, "-");
  EXPECT_EQ(noSign.text(), "");
  NumberField plain;
  plain.NumberMode = false;
  typeKey(plain, Qt::Key_A, "a");
  EXPECT_EQ(plain.text(), "a");
}

TEST(DialogNumberField, PastedTextIsFilteredCharacterByCharacter) {
  const std::pair<const char*, const char*> cases[] = {
      {"12a.3.4", "12.34"}, {"-5", "-5"}, {"5-5", "55"}, {"a-b+1", "-1"}, {"1e3", "13"},
  };
  for (const auto& [pasted, result] : cases) {
    NumberField f;
    f.insert(pasted);
    EXPECT_EQ(f.text(), result) << pasted;
  }
  // Through the clipboard, as Ctrl+V pastes.
  NumberField f;
  QApplication::clipboard()->setText("12a.3.4");
  f.paste();
  EXPECT_EQ(f.text(), "12.34");
  NumberField plain;
  plain.NumberMode = false;
  plain.insert("12a.3.4");
  EXPECT_EQ(plain.text(), "12a.3.4");
}

TEST(DialogAbout, HeightFollowsTheText) {
  GameAbout about;
  EXPECT_EQ(about.content()->size(), QSize(320, 228));
  EXPECT_EQ(about.StaticText1->geometry(), QRect(20, 14, 280, 120));
  EXPECT_EQ(about.PlainText1->geometry(), QRect(20, 160, 280, 16));
  EXPECT_EQ(about.PushButton1->geometry(), QRect(126, 188, 69, 20));
  EXPECT_EQ(about.PlainText1->text(), kProjectHomePage);
  EXPECT_TRUE(about.PlainText1->font().underline());
  EXPECT_EQ(about.PlainText1->palette().color(QPalette::WindowText), QColor(0x13, 0x1B, 0xA8));

  about.SetAboutText("");
  EXPECT_EQ(about.content()->height(), 96);
  EXPECT_EQ(about.PlainText1->y(), 96 - 68);
  EXPECT_EQ(about.PushButton1->y(), 96 - 40);

  const std::string text =
      "A long tale of a castle, a dragon and a very patient knight who "
      "waited for the drawbridge to come down for many a year.";
  about.SetAboutText(text);
  const int height = GameAbout::TextHeight(QString::fromStdString(text));
  EXPECT_GT(height, GameAbout::TextHeight("One line"));
  EXPECT_EQ(about.StaticText1->height(), height);
  EXPECT_EQ(about.StaticText1->text().toStdString(), text);
  EXPECT_EQ(about.content()->height(), height + 108);
  EXPECT_EQ(about.PushButton1->y(), height + 108 - 40);
}

TEST(DialogAbout, ShownWithoutAPersonItIsLoggedAndAnswered) {
  DialogsScope dialogs;
  LogCapture log;
  GameWriter w;
  w.hidemenubar = true;
  w.addCard();
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  GameMethods::AboutWindow("Castle v1");
  GameAbout* about = GameMethods::AboutWindowInstance();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isVisible());
  EXPECT_TRUE(about->menu()->isHidden());  // the game hides the menu bar
  EXPECT_EQ(log.events("dialog").back(), dialogEvent("about", "Castle v1", "", "OK"));
  // The link opens the address (logged, not performed) and closes the window.
  about->LinkClicked();
  EXPECT_EQ(log.events("openurl").back(),
            QJsonObject({{"ev", "openurl"}, {"url", kProjectHomePage}}));
}

TEST(DialogWindows, TextWindowAndPromptMenuBar) {
  TextWindow t;
  t.show();
  QApplication::processEvents();
  EXPECT_EQ(t.content()->size(), QSize(400, 250));
  EXPECT_EQ(t.EditField1->geometry(), QRect(20, 14, 360, 216));
  EXPECT_TRUE(t.EditField1->isReadOnly());
  EXPECT_EQ(t.EditField1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  t.SetContentSize(500, 300);
  QApplication::processEvents();
  EXPECT_EQ(t.EditField1->geometry(), QRect(20, 14, 460, 266));
  t.SetText("line one\nline two");
  EXPECT_EQ(t.EditField1->toPlainText(), "line one\nline two");
  t.menu()->FileClose->trigger();
  EXPECT_FALSE(t.isVisible());

  Prompter p;  // no game: the menu bar shows
  EXPECT_FALSE(p.menu()->isHidden());
}

// Acts on the modal dialog once it is up, as a person would.
void whenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal) act(modal);
  });
}

TEST(DialogReal, AlertReturnsTheCaptionOfTheButtonPressed) {
  QtDialogs real;
  AlertRequest request;
  request.message = "Save the game?";
  request.explanation = "<b>not markup</b>";
  request.okCaption = "Save";
  request.cancelCaption = "Cancel";
  request.altCaption = "Don't Save";
  for (const char* press : {"Save", "Cancel", "Don't Save"}) {
    std::string shown;
    whenModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      shown = box->informativeText().toStdString();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == press) b->click();
    });
    EXPECT_EQ(real.alert(request), press);
    EXPECT_EQ(shown, "&lt;b&gt;not markup&lt;/b&gt;");  // shown as text
  }
}

TEST(DialogReal, PromptRunsModallyUntilOKOrCancel) {
  QtDialogs real;
  ScopedDialogs scope(std::make_unique<QtDialogs>());
  std::string result;
  whenModal([](QWidget* w) {
    auto* p = qobject_cast<Prompter*>(w);
    ASSERT_NE(p, nullptr);
    p->EditField1->insert("4x2");
    p->PushButton1->click();
  });
  EXPECT_TRUE(DialogTools::Prompt("How many?", "", 0, result, true, nullptr));
  EXPECT_EQ(result, "42");
  whenModal([](QWidget* w) { qobject_cast<Prompter*>(w)->PushButton2->click(); });
  EXPECT_FALSE(DialogTools::Prompt("How many?", "7", 0, result, true, nullptr));
  EXPECT_EQ(result, "");
}

TEST(DialogTexts, StringWidthGrowsWithTextAndSize) {
  const double one = GameMethods::StringWidth("W", "Helvetica", 12);
  EXPECT_GT(one, 0);
  EXPECT_GT(GameMethods::StringWidth("WWW", "Helvetica", 12), 2 * one);
  EXPECT_GT(GameMethods::StringWidth("W", "Helvetica", 24), one);
  EXPECT_EQ(GameMethods::StringWidth("", "Helvetica", 12), 0);
}

}  // namespace
}  // namespace qm::test
