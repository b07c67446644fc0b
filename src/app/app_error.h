#pragma once

#include <stdexcept>
#include <string>

namespace tovasel {

// An error of the application's own (bad limit text, a file that will not
// open, a FLIC too large to hold), carrying the text the error box shows.
class EAppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of the standard error box: the message with "." appended when its
// last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

// What an error raised by a command says: its own text, "Out of memory" for
// a failed allocation.
std::string ErrorMessage(const std::exception& error);

// The text the window's error box and the command line's error line show
// for an error raised by a command: ErrorBoxText of its ErrorMessage.
std::string ErrorText(const std::exception& error);

// Reads the frame-limit text as a signed 32-bit decimal number: optional
// leading spaces, an optional sign, then digits only. Anything else raises
// EAppError "'<text>' is not a valid integer value".
int ParseLimitText(const std::string& text);

}  // namespace tovasel
