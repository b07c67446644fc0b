#pragma once

#include <stdexcept>
#include <string>

namespace tovasel {

// The one error class of the GIF side. Its message is one of the library's
// fixed texts ("Color table overflow", "Unsupported GIF version", ...), which
// the application shows unchanged.
class GIFException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tovasel
