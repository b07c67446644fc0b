#pragma once

#include <string>
#include <vector>

namespace tovasel {

class TAppView;
class TFileSearch;

// The directory batch's log, in French as the window has always written
// it, shared by the one-at-a-time batch and the parallel one.

// Logs "<Folder> selectionné" and "Recherche en cours", searches Folder
// and its subfolders for .flc files (a folder that cannot be listed goes to
// the view's FolderSkipped) and logs how many were found. Returns a copy
// of the paths found, in order, so that a later search cannot change them.
std::vector<std::string> SearchBatchFolder(const std::string& Folder, TFileSearch& search, TAppView& view);

// The line that reports the count: "Pas de fichiers trouvés",
// "1 fichier trouvé" or "<count> fichiers trouvés".
std::string FoundCountLine(int count);

// Logs "Traitement de <path>" before the file is converted.
void LogBatchFile(TAppView& view, const std::string& path);

}  // namespace tovasel
