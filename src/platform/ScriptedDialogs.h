#pragma once
// The non-interactive dialogs of automation runs and tests: nothing is shown; every alert,
// message box and prompt is answered at once from a queue of answers (the replay's answer,
// cancel and choose lines), or, with nothing queued, by the default button (an alert's OK
// caption) and Cancel for prompts. Each dialog takes at most one queued answer.
#include <deque>
#include <functional>
#include <string>

#include "platform/DialogSeam.h"

namespace qm {

struct QueuedAnswer {
  enum class Kind { Answer, Cancel, Choose };
  Kind kind = Kind::Answer;
  std::string text;    // Answer: the prompt's text, or the caption of the alert button to press
  int64_t choice = 0;  // Choose: 1-based
};

class ScriptedDialogs : public DialogSeam {
 public:
  ScriptedDialogs();
  // Where notes about answers that do not fit their dialog go (standard error by default).
  void setWarningSink(std::function<void(const std::string&)> sink) { warn_ = std::move(sink); }

  void queue(QueuedAnswer answer) { answers_.push_back(std::move(answer)); }
  size_t pending() const { return answers_.size(); }

  bool interactive() const override { return false; }
  std::string alert(const AlertRequest& request) override;
  void message(const std::string& text) override;
  bool prompt(Prompter& prompter, PromptKind kind) override;
  void showAbout(QWidget&) override {}
  void beep() override {}
  void openUrl(const std::string&) override {}
  void launch(const QString&) override {}

 private:
  bool next(QueuedAnswer& answer);

  std::deque<QueuedAnswer> answers_;
  std::function<void(const std::string&)> warn_;
};

}  // namespace qm
