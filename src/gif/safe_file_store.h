#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace tovasel {

// Writes a file without ever losing what was at the path: Write fills a new
// file in the same folder, which is renamed over the path only once it is
// complete and on disk. On any failure the new file is removed and the path
// is left as it was. The new file takes the old one's permission bits (else
// 0666 less the umask); when the path is a symbolic link, the file it points
// to is replaced and the link stays. The stream can seek within what it
// has written (seekp), to fill in a part known only at the end.
//
// Raises GIFException "Cannot create file <name>" when the new file cannot
// be made, and "Cannot write file <name>" when writing, flushing or renaming
// fails. Other errors raised by Write propagate unchanged.
void StoreFileSafely(const std::string& fileName,
                     const std::function<void(std::ostream& stream)>& write);

}  // namespace tovasel
