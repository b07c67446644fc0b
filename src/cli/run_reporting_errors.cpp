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
  } catch (const std::bad_alloc&) {
    ReportError(ErrorBoxText("Out of memory"));
  } catch (const std::exception& e) {
    ReportError(ErrorBoxText(e.what()));
  } catch (const TReportedError&) {
  } catch (...) {
    ReportError("Unexpected error");
  }
  return 1;
}

}  // namespace tovasel::cli
