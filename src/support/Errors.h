#pragma once
// The failure kinds that scripts and dialogs see by name. Script faults are thrown as one of
// these; broken invariants of our own code are asserts.
#include <stdexcept>
#include <string>

namespace qm {

// Names in the order the error-to-text routine tests them.
#define QM_ERROR_KINDS(X)                                                                          \
  X(NilObjectException)                                                                            \
  X(IllegalCastException)                                                                          \
  X(StackOverflowException)                                                                        \
  X(OutOfBoundsException)                                                                          \
  X(TypeMismatchException)                                                                         \
  X(OutOfMemoryException)                                                                          \
  X(UnsupportedFormatException)                                                                    \
  X(KeyNotFoundException)                                                                          \
  X(IOException)

class QMError : public std::runtime_error {
public:
  QMError(const char* kind, const std::string& detail) : std::runtime_error(detail), kind_(kind) {}
  // The kind name scripts see, e.g. "OutOfBoundsException".
  const char* kind() const noexcept { return kind_; }

private:
  const char* kind_;
};

#define QM_DECLARE_ERROR_KIND(Name)                                                                \
  class Name : public QMError {                                                                    \
  public:                                                                                          \
    explicit Name(const std::string& detail = {}) : QMError(#Name, detail) {}                      \
  };
QM_ERROR_KINDS(QM_DECLARE_ERROR_KIND)
#undef QM_DECLARE_ERROR_KIND

// The request to end the program. Not a QMError on purpose: handlers that catch QMError let it
// pass untouched, and only the outermost edge of an event turns it into an application quit.
class EndException {
public:
  explicit EndException(int status = 0) : status_(status) {}
  int status() const noexcept { return status_; }

private:
  int status_;
};

// A load failure whose message and explanation are final: the fatal dialog shows them and the
// program ends.
class FatalLoadError : public std::runtime_error {
public:
  FatalLoadError(const std::string& message, const std::string& explanation)
      : std::runtime_error(message), message_(message), explanation_(explanation) {}
  const std::string& message() const noexcept { return message_; }
  const std::string& explanation() const noexcept { return explanation_; }

private:
  std::string message_;
  std::string explanation_;
};

// The kind name of any error, empty when it carries none.
inline std::string ExceptionType(const std::exception& e) {
  if (auto* q = dynamic_cast<const QMError*>(&e)) return q->kind();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "OutOfMemoryException";
  if (dynamic_cast<const std::out_of_range*>(&e)) return "OutOfBoundsException";
  return {};
}

} // namespace qm
