#include <exception>
#include <functional>
#include <iostream>

#include "app/app_error.h"
#include "cli/commands.h"

namespace tovasel::cli {

int RunReportingErrors(const std::function<void()>& work) {
  try {
    work();
    return 0;
  } catch (const TPlainError& e) {
    ReportError(e.what());
  } catch (const std::exception& e) {
    ReportError(ErrorText(e));
  } catch (...) {
    ReportError("Unexpected error");
  }
  return 1;
}

}  // namespace tovasel::cli
