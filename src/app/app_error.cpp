#include "app/app_error.h"

#include <charconv>
#include <cstdint>
#include <new>

namespace tovasel {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string ErrorMessage(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "Out of memory";
  return error.what();
}

std::string ErrorText(const std::exception& error) { return ErrorBoxText(ErrorMessage(error)); }

int ParseLimitText(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const char* first = text.data() + pos;
  const char* last = text.data() + text.size();
  bool negative = false;
  if (first != last && (*first == '+' || *first == '-')) {
    negative = *first == '-';
    ++first;
  }
  std::int64_t magnitude = 0;
  const bool digitsOnly = first != last && *first >= '0' && *first <= '9';
  auto [end, ec] = std::from_chars(first, last, magnitude);
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (!digitsOnly || ec != std::errc() || end != last || value < INT32_MIN || value > INT32_MAX) {
    throw EAppError("'" + text + "' is not a valid integer value");
  }
  return static_cast<int>(value);
}

}  // namespace tovasel
