#include "platform/ScriptedDialogs.h"

#include <QString>
#include <cstdio>

#include "dialogs/Prompter.h"

namespace qm {

namespace {
bool sameCaption(const std::string& a, const std::string& b) {
  return !b.empty() &&
         QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}
}  // namespace

ScriptedDialogs::ScriptedDialogs()
    : warn_([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }) {}

bool ScriptedDialogs::next(QueuedAnswer& answer) {
  if (answers_.empty()) return false;
  answer = std::move(answers_.front());
  answers_.pop_front();
  return true;
}

std::string ScriptedDialogs::alert(const AlertRequest& request) {
  QueuedAnswer a;
  if (!next(a)) return request.okCaption;
  switch (a.kind) {
    case QueuedAnswer::Kind::Answer:
      for (const std::string* caption :
           {&request.okCaption, &request.cancelCaption, &request.altCaption})
        if (sameCaption(a.text, *caption)) return *caption;
      warn_("answer \"" + a.text + "\" names no button of the alert \"" + request.message +
            "\": pressed " + request.okCaption);
      return request.okCaption;
    case QueuedAnswer::Kind::Cancel:
      if (!request.cancelCaption.empty()) return request.cancelCaption;
      warn_("cancel: the alert \"" + request.message + "\" has no cancel button: pressed " +
            request.okCaption);
      return request.okCaption;
    case QueuedAnswer::Kind::Choose:
      warn_("choose: the alert \"" + request.message + "\" is not a choice: pressed " +
            request.okCaption);
      return request.okCaption;
  }
  return request.okCaption;
}

void ScriptedDialogs::message(const std::string& text) {
  AlertRequest request;
  request.message = text;
  alert(request);
}

bool ScriptedDialogs::prompt(Prompter& prompter, PromptKind kind) {
  QueuedAnswer a;
  if (!next(a)) return false;
  switch (a.kind) {
    case QueuedAnswer::Kind::Cancel: return false;
    case QueuedAnswer::Kind::Answer:
      if (kind != PromptKind::Choice) {
        prompter.enterText(QString::fromStdString(a.text));
        return true;
      }
      if (prompter.chooseText(QString::fromStdString(a.text))) return true;
      warn_("answer \"" + a.text + "\" is none of the choices: cancelled");
      return false;
    case QueuedAnswer::Kind::Choose:
      if (kind != PromptKind::Choice) {
        warn_("choose " + std::to_string(a.choice) + ": the prompt is not a choice: cancelled");
        return false;
      }
      if (prompter.chooseIndex(a.choice)) return true;
      warn_("choose " + std::to_string(a.choice) + ": no such choice: cancelled");
      return false;
  }
  return false;
}

}  // namespace qm
