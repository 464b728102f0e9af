// The exception class of every unit and the helpers that word their messages.
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

#define NUX_DECLARE_ERROR(Name, Base) \
  class Name : public Base {          \
   public:                            \
    using Base::Base;                 \
  }

// Raised by the scalar routines (factorials, interpolation) and number texts.
NUX_DECLARE_ERROR(ENUXMath1Error, ENUXError);
// Raised by the complex arithmetic.
NUX_DECLARE_ERROR(ENUXComplexError, ENUXError);
// Raised by the vector classes and for vectors that do not fit together.
NUX_DECLARE_ERROR(ENUXVectorError, ENUXError);
// Raised by the matrix classes.
NUX_DECLARE_ERROR(ENUXMatrixError, ENUXError);
// Raised by the data table.
NUX_DECLARE_ERROR(ENUXDataTableError, ENUXError);
// Raised by the statistics routines.
NUX_DECLARE_ERROR(ENUXStatisError, ENUXError);
// Raised by the eigen and singular value routines.
NUX_DECLARE_ERROR(ENUXMath2Error, ENUXError);
// For errors in arithmetic expressions.
NUX_DECLARE_ERROR(ENUXMathExp, ENUXError);
// Raised by the Fourier transforms.
NUX_DECLARE_ERROR(ENUXFourierError, ENUXError);
// Raised by the wavelet transforms.
NUX_DECLARE_ERROR(ENUXWaveletError, ENUXError);
// Raised by the memory-based learner.
NUX_DECLARE_ERROR(ENUXMemBLError, ENUXError);
// Raised by the Kohonen map.
NUX_DECLARE_ERROR(ENUXKohonenError, ENUXError);
// Straight lines report through the host's general exception, not the library's.
NUX_DECLARE_ERROR(ENUXSLineError, Exception);

#undef NUX_DECLARE_ERROR

// Message texts shared by several units.
inline constexpr const char* msgDeprecated = "deprecated function, see help for details";
// Out of memory while allocating data.
inline constexpr const char* msgNoMemoryOnHeap = "not enough memory on heap";
// Out of memory.
inline constexpr const char* msgNoMemory = "not enough memory";
// Out of memory while constructing an object.
inline constexpr const char* msgInitNoMemory = "failed to initialize (out of memory)";

// Component "Name": Text
std::string ComponentMessage(const std::string& ComponentName, const std::string& Text);
std::string ComponentMessage(const TComponent& Component, const std::string& Text);
// Component "Name.Method": Text
std::string ComponentMessage(const TComponent& Component, const std::string& Method,
                             const std::string& Text);
// Text followed by the argument in double quotes: HexToDouble: invalid hex string "xyz"
std::string QuotedArgMessage(const std::string& Text, const std::string& Argument);

// Raises the unit's exception E with a component message.
template <class E>
[[noreturn]] void RaiseComponentError(const TComponent& Component, const std::string& Text) {
  throw E(ComponentMessage(Component, Text));
}
template <class E>
[[noreturn]] void RaiseComponentError(const TComponent& Component, const std::string& Method,
                                      const std::string& Text) {
  throw E(ComponentMessage(Component, Method, Text));
}

// Runs Work; an allocation failure inside it (std::bad_alloc, or a size beyond what a
// container can hold) becomes the unit's exception E with the component message Text.
// Work must leave the object as it was when it throws (allocate first, then commit).
template <class E, class F>
decltype(auto) GuardAlloc(const TComponent& Component, const std::string& Text, F&& Work) {
  try {
    return std::forward<F>(Work)();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  RaiseComponentError<E>(Component, Text);
}

}  // namespace nux
