#include "cli/picture_file.h"

#include <exception>
#include <new>

#include "cli/commands.h"
#include "gif/gif_exception.h"
#include "gif/safe_file_store.h"

namespace tovasel::cli {

void StorePicture(const std::string& path, const std::function<void(std::ostream& out)>& write) {
  try {
    StoreFileSafely(path, write);
  } catch (const GIFException& e) {
    // The store's own "Cannot create file" and "Cannot write file" texts.
    throw TPlainError(e.what());
  } catch (const TPlainError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    throw TPlainError("Cannot write file " + path + ": " + e.what());
  }
}

}  // namespace tovasel::cli
