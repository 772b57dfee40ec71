#include "platform/AutomationLog.h"

#include <QFile>
#include <cmath>
#include <cstring>

#include "support/Conversions.h"

namespace qm {

std::string JsonQuote(std::string_view text) {
  // Round trip through UTF-16 only when the bytes are not valid UTF-8 already.
  std::string valid;
  const QByteArray bytes(text.data(), qsizetype(text.size()));
  if (QString::fromUtf8(bytes).toUtf8() != bytes) {
    valid = QString::fromUtf8(bytes).toStdString();
    text = valid;
  }
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::string JsonText(const JsonValue& value) {
  struct Visitor {
    std::string operator()(std::nullptr_t) const { return "null"; }
    std::string operator()(bool b) const { return b ? "true" : "false"; }
    std::string operator()(int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const {
      // JSON has no infinities or NaN.
      if (!std::isfinite(d)) return "null";
      if (d == std::trunc(d) && std::fabs(d) < 9.0e15) return std::to_string(int64_t(d));
      return FormatNumber(d);
    }
    std::string operator()(const std::string& s) const { return JsonQuote(s); }
  };
  return std::visit(Visitor{}, value.v);
}

AutomationLog::~AutomationLog() {
  close();
}

bool AutomationLog::open(const QString& target, QString* error) {
  close();
  std::lock_guard lock(mutex_);
  if (target == "-") {
    out_ = stdout;
    ownsFile_ = false;
    return true;
  }
  out_ = std::fopen(QFile::encodeName(target).constData(), "wb");
  if (!out_) {
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  ownsFile_ = true;
  return true;
}

void AutomationLog::close() {
  std::lock_guard lock(mutex_);
  if (out_ && ownsFile_)
    std::fclose(out_);
  else if (out_)
    std::fflush(out_);
  out_ = nullptr;
  ownsFile_ = false;
}

bool AutomationLog::enabled() const {
  std::lock_guard lock(mutex_);
  return out_ != nullptr;
}

void AutomationLog::event(std::string_view kind, std::initializer_list<LogField> fields) {
  if (!enabled()) return;
  std::string line = "{\"ev\":" + JsonQuote(kind);
  for (const LogField& f : fields) {
    line += ',';
    line += JsonQuote(f.key);
    line += ':';
    line += JsonText(f.value);
  }
  line += '}';
  writeLine(line);
}

void AutomationLog::rawLine(std::string_view json) {
  if (!enabled()) return;
  writeLine(std::string(json));
}

void AutomationLog::writeLine(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (!out_) return;
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

AutomationLog& Log() {
  static AutomationLog log;
  return log;
}

}  // namespace qm
