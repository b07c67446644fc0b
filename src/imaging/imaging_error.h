#pragma once

#include <new>
#include <stdexcept>
#include <string>

namespace tovasel {

// Errors of the bitmap layer. They stand in for the platform's graphics
// errors, so they are independent of the GIF library's own exception class.

// A bitmap could not be built as asked (bad size or format).
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A request outside what the bitmap holds, e.g. a row past its height.
class EInvalidGraphicOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Image memory could not be obtained. Derives from std::bad_alloc so that
// code catching allocation failures sees it, but keeps a readable message.
class EOutOfMemory : public std::bad_alloc {
 public:
  explicit EOutOfMemory(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace tovasel
