// Exception classes of the host layer. Every library exception derives from Exception, whose
// what() is exactly the message text.
#pragma once

#include <stdexcept>
#include <string>

namespace nux {

// Base class of every library exception.
class Exception : public std::runtime_error {
 public:
  // An exception whose message (and what()) is Msg.
  explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
  // The message text, the same as what().
  std::string Message() const { return what(); }
};

class EMathError : public Exception {
 public:
  using Exception::Exception;
};

class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

class EOutOfMemory : public Exception {
 public:
  using Exception::Exception;
};

class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace nux
