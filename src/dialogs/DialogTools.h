#pragma once
// The routines through which the player shows messages and asks questions. Every one of them
// goes through the dialog seam (platform/DialogSeam.h), is logged as a dialog or prompt event,
// and, if the player was asked to quit while it was open, ends with EndException.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

class QWidget;

namespace qm::DialogTools {

// icon: 0 note, 1 caution (2 is shown as caution too). Returns the caption of the pressed
// button; cancel and alternate buttons appear only with a caption.
std::string QuickMessageDialog(int64_t icon, const std::string& message,
                               const std::string& explanation, const std::string& okCaption,
                               const std::string& cancelCaption, const std::string& altCaption,
                               bool beep);
void Note(const std::string& message, bool beep);
void NoteVerbose(const std::string& message, const std::string& explanation, bool beep);
void Caution(const std::string& message, bool beep);
void CautionVerbose(const std::string& message, const std::string& explanation, bool beep);
// Caution alerts with the alert sound; the caller ends the game or the program afterwards.
void Fatal(const std::string& message);
void FatalVerbose(const std::string& message, const std::string& explanation);

// The unexpected-error dialog for failures of the player's own handling code; the caller goes
// on afterwards. The quit request is passed on (rethrown) instead.
void ExceptionDialog(std::exception_ptr error, const std::string& place);
// "Sorry, an unexpected "<name>" has occurred in <place>."
std::string ExceptionMessage(const std::string& errorName, const std::string& place);
inline constexpr const char* kExceptionExplanation = "Please contact Quillmark support.";

// The name of an error's kind, "UnknownException" for kinds outside the list.
std::string ErrorToString(std::exception_ptr error);
std::string ErrorToString(const std::exception& error);

// The script error report (the alert half of ShowError): caution, one "Quit" button, sound.
void ScriptErrorReport(const std::string& location, const std::string& message);
inline constexpr const char* kScriptErrorMessage = "Sorry, an unexpected error has occurred.";
// "Event: " + location + line end + "Error: " + message.
std::string ScriptErrorExplanation(const std::string& location, const std::string& message);

// A plain message box.
void MessageBox(const std::string& text);

// Text or number prompt, title "Question". result is the text after OK, empty after Cancel.
bool Prompt(const std::string& question, const std::string& defaultText, int64_t maxLength,
            std::string& result, bool numbersOnly, QWidget* parent);
// Choice prompt; chosen (1-based) is set after OK and left as it was after Cancel.
bool Prompt(const std::string& question, const std::string& title,
            const std::vector<std::string>& choices, int64_t& chosen, int64_t defaultIndex,
            QWidget* parent);

// The line end of messages and explanations on this platform.
inline constexpr const char* kLineEnd = "\n";

}  // namespace qm::DialogTools
