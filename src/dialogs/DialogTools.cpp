#include "dialogs/DialogTools.h"

#include <QApplication>
#include <QString>
#include <array>
#include <string_view>

#include "dialogs/Prompter.h"
#include "platform/AutomationLog.h"
#include "platform/DialogSeam.h"
#include "platform/QuitRequest.h"
#include "support/Errors.h"
#include "support/ThrottledYield.h"

namespace qm::DialogTools {

namespace {

// Shows the alert through the seam and logs it under the given kind.
std::string showAlert(std::string_view kind, const AlertRequest& request) {
  const std::string answer = Dialogs().alert(request);
  Log().dialog(kind, request.message, request.explanation, answer);
  ThrowIfQuitting();
  return answer;
}

AlertRequest makeAlert(AlertIcon icon, const std::string& message, const std::string& explanation,
                       bool beep) {
  AlertRequest s;
  s.icon = icon;
  s.message = message;
  s.explanation = explanation;
  s.beep = beep;
  return s;
}

}  // namespace

std::string QuickMessageDialog(int64_t icon, const std::string& message,
                               const std::string& explanation, const std::string& okCaption,
                               const std::string& cancelCaption, const std::string& altCaption,
                               bool beep) {
  AlertRequest s =
      makeAlert(icon == 0 ? AlertIcon::Note : AlertIcon::Caution, message, explanation, beep);
  s.okCaption = okCaption;
  s.cancelCaption = cancelCaption;
  s.altCaption = altCaption;
  return showAlert(icon == 0 ? "note" : "caution", s);
}

void Note(const std::string& message, bool beep) {
  NoteVerbose(message, "", beep);
}

void NoteVerbose(const std::string& message, const std::string& explanation, bool beep) {
  showAlert("note", makeAlert(AlertIcon::Note, message, explanation, beep));
}

void Caution(const std::string& message, bool beep) {
  CautionVerbose(message, "", beep);
}

void CautionVerbose(const std::string& message, const std::string& explanation, bool beep) {
  showAlert("caution", makeAlert(AlertIcon::Caution, message, explanation, beep));
}

void Fatal(const std::string& message) {
  FatalVerbose(message, "");
}

void FatalVerbose(const std::string& message, const std::string& explanation) {
  showAlert("fatal", makeAlert(AlertIcon::Caution, message, explanation, true));
}

std::string ExceptionMessage(const std::string& errorName, const std::string& place) {
  return "Sorry, an unexpected \"" + errorName + "\" has occurred in " + place + ".";
}

void ExceptionDialog(std::exception_ptr error, const std::string& place) {
  const std::string name = ErrorToString(error);
  if (name == "EndException") std::rethrow_exception(error);
  showAlert("exception", makeAlert(AlertIcon::Caution, ExceptionMessage(name, place),
                                   kExceptionExplanation, true));
}

std::string ErrorToString(const std::exception& error) {
  // The names the report knows, in the order they are tested; other kinds are unknown.
  static constexpr std::array<std::string_view, 8> known = {
      "NilObjectException",         "IllegalCastException",  "StackOverflowException",
      "OutOfBoundsException",       "TypeMismatchException", "OutOfMemoryException",
      "UnsupportedFormatException", "KeyNotFoundException"};
  const std::string kind = ExceptionType(error);
  for (std::string_view name : known)
    if (kind == name) return kind;
  return "UnknownException";
}

std::string ErrorToString(std::exception_ptr error) {
  if (!error) return "UnknownException";
  try {
    std::rethrow_exception(error);
  } catch (const EndException&) {
    return "EndException";
  } catch (const std::exception& e) {
    return ErrorToString(e);
  } catch (...) {
    return "UnknownException";
  }
}

std::string ScriptErrorExplanation(const std::string& location, const std::string& message) {
  return "Event: " + location + kLineEnd + "Error: " + message;
}

void ScriptErrorReport(const std::string& location, const std::string& message) {
  AlertRequest s = makeAlert(AlertIcon::Caution, kScriptErrorMessage,
                             ScriptErrorExplanation(location, message), true);
  s.okCaption = "Quit";
  showAlert("error", s);
}

void MessageBox(const std::string& text) {
  Dialogs().message(text);
  Log().dialog("message", text, "", "OK");
  ThrowIfQuitting();
}

bool Prompt(const std::string& question, const std::string& defaultText, int64_t maxLength,
            std::string& result, bool numbersOnly, QWidget* parent) {
  Prompter p(parent);
  p.setUpText(QString::fromStdString(question), QString::fromStdString(defaultText), maxLength,
              numbersOnly);
  const bool ok = Dialogs().prompt(p, numbersOnly ? PromptKind::Number : PromptKind::Text);
  result = ok ? p.fieldText().toStdString() : std::string();
  p.close();
  const char* kind = numbersOnly ? "number" : "text";
  if (ok)
    Log().prompt(kind, question, result);
  else
    Log().prompt(kind, question, nullptr);
  ThrowIfQuitting();
  return ok;
}

bool Prompt(const std::string& question, const std::string& title,
            const std::vector<std::string>& choices, int64_t& chosen, int64_t defaultIndex,
            QWidget* parent) {
  Prompter p(parent);
  p.setUpChoice(QString::fromStdString(question), QString::fromStdString(title));
  for (const std::string& choice : choices) {
    p.addChoice(QString::fromStdString(choice));
    // Long lists let timers and sockets run while they fill.
    YieldThrottled();
    ThrowIfQuitting();
  }
  p.selectDefault(defaultIndex);
  const bool ok = Dialogs().prompt(p, PromptKind::Choice);
  if (ok) chosen = p.chosenIndex();
  p.close();
  if (ok)
    Log().prompt("choice", question, chosen);
  else
    Log().prompt("choice", question, nullptr);
  ThrowIfQuitting();
  return ok;
}

}  // namespace qm::DialogTools
