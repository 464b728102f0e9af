// Exception classes of the host layer. Every library exception derives from Exception, whose
// what() is exactly the message text.
#pragma once

#include <stdexcept>
#include <string>

namespace nux {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
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
