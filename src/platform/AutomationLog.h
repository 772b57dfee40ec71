#pragma once
// The automation log (--log): observable events as JSON Lines, one object per line, each with
// "ev" first. A new event kind is one helper that calls event(). Without an open sink every call
// is a no-op, so the player logs unconditionally. Lines are written whole and flushed at once
// (the timeout watchdog may write from its own thread).
#include <QString>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qm {

// A JSON value of a log field: null, a Boolean, an integer, a number or a text (UTF-8 bytes).
struct JsonValue {
  std::variant<std::nullptr_t, bool, int64_t, double, std::string> v;
  JsonValue(std::nullptr_t) : v(nullptr) {}
  JsonValue(bool b) : v(b) {}
  JsonValue(int i) : v(int64_t(i)) {}
  JsonValue(int64_t i) : v(i) {}
  JsonValue(double d) : v(d) {}
  JsonValue(const char* s) : v(std::string(s)) {}
  JsonValue(std::string_view s) : v(std::string(s)) {}
  JsonValue(const std::string& s) : v(s) {}
  template <typename T>
  JsonValue(const std::optional<T>& o) : JsonValue(nullptr) {
    if (o) *this = JsonValue(*o);
  }
};

struct LogField {
  const char* key;
  JsonValue value;
};

// A text as a JSON string literal. Invalid UTF-8 becomes U+FFFD so every line stays valid JSON.
std::string JsonQuote(std::string_view text);
// A value as JSON text.
std::string JsonText(const JsonValue& value);

class AutomationLog {
 public:
  AutomationLog() = default;
  ~AutomationLog();
  AutomationLog(const AutomationLog&) = delete;
  AutomationLog& operator=(const AutomationLog&) = delete;

  // "-" is standard output; anything else a file, created or emptied. False (with a reason) when
  // the file cannot be opened.
  bool open(const QString& target, QString* error = nullptr);
  void close();
  bool enabled() const;

  // One line: {"ev":kind, field...}.
  void event(std::string_view kind, std::initializer_list<LogField> fields = {});
  // A finished JSON object from elsewhere (the interpreter's trace), written as one line.
  void rawLine(std::string_view json);

  void start(std::string_view game, int64_t cards) {
    event("start", {{"game", game}, {"cards", cards}});
  }
  void card(int64_t number) { event("card", {{"card", number}}); }
  void dialog(std::string_view kind, std::string_view message, std::string_view explanation,
              std::string_view answer) {
    event("dialog",
          {{"kind", kind}, {"message", message}, {"explanation", explanation}, {"answer", answer}});
  }
  // answer: the text, the 1-based choice, or null when cancelled.
  void prompt(std::string_view kind, std::string_view question, const JsonValue& answer) {
    event("prompt", {{"kind", kind}, {"question", question}, {"answer", answer}});
  }
  void sound(std::string_view op, std::string_view name) {
    event("sound", {{"op", op}, {"name", name}});
  }
  void speak(std::string_view text) { event("speak", {{"text", text}}); }
  void launch(std::string_view path) { event("launch", {{"path", path}}); }
  void openUrl(std::string_view url) { event("openurl", {{"url", url}}); }
  void beep() { event("beep"); }
  void movie(std::string_view op, std::string_view file) {
    event("movie", {{"op", op}, {"file", file}});
  }
  void quit(int status) { event("quit", {{"status", status}}); }

 private:
  void writeLine(const std::string& line);

  mutable std::mutex mutex_;
  std::FILE* out_ = nullptr;
  bool ownsFile_ = false;
};

// The player's log. Closed (every call a no-op) unless main opens it.
AutomationLog& Log();

}  // namespace qm
