#pragma once
// The one seam of everything that waits for a person or acts outside the player: modal alerts,
// message boxes, prompts, the About window, the alert sound, opening web addresses and files.
// QtDialogs shows the real thing; ScriptedDialogs (automation and tests) shows nothing and
// answers at once from a queue. Callers log through DialogTools, never here, so both
// implementations produce the same log.
#include <QString>
#include <memory>
#include <string>

class QWidget;

namespace qm {

class Prompter;

enum class AlertIcon { Note = 0, Caution = 1 };

struct AlertRequest {
  AlertIcon icon = AlertIcon::Note;
  std::string message;
  std::string explanation;
  std::string okCaption = "OK";
  std::string cancelCaption;  // no button when empty
  std::string altCaption;     // no button when empty
  bool beep = false;
};

enum class PromptKind { Text, Number, Choice };

class DialogSeam {
 public:
  virtual ~DialogSeam() = default;
  // False for the non-interactive implementation: nothing is shown, launched or opened.
  virtual bool interactive() const = 0;
  // Shows the alert modally; returns the caption of the button pressed.
  virtual std::string alert(const AlertRequest& request) = 0;
  // A plain message box with an OK button.
  virtual void message(const std::string& text) = 0;
  // Runs the prepared prompt window modally; true when OK was pressed.
  virtual bool prompt(Prompter& prompter, PromptKind kind) = 0;
  // Brings the (non-blocking) About window on screen.
  virtual void showAbout(QWidget& about) = 0;
  virtual void beep() = 0;
  virtual void openUrl(const std::string& url) = 0;
  virtual void launch(const QString& path) = 0;
};

// The seam in use: the real dialogs unless another one is installed.
DialogSeam& Dialogs();
// Installs a seam and returns the previous one (nullptr restores the real dialogs).
std::unique_ptr<DialogSeam> InstallDialogs(std::unique_ptr<DialogSeam> seam);

// Installs a seam for one scope (tests).
class ScopedDialogs {
 public:
  explicit ScopedDialogs(std::unique_ptr<DialogSeam> seam)
      : previous_(InstallDialogs(std::move(seam))) {}
  ~ScopedDialogs() { InstallDialogs(std::move(previous_)); }
  ScopedDialogs(const ScopedDialogs&) = delete;
  ScopedDialogs& operator=(const ScopedDialogs&) = delete;

 private:
  std::unique_ptr<DialogSeam> previous_;
};

}  // namespace qm
