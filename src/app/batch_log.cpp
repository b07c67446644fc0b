#include "app/batch_log.h"

#include "app/app_view.h"
#include "app/file_search.h"

namespace tovasel {

std::vector<std::string> SearchBatchFolder(const std::string& Folder, TFileSearch& search, TAppView& view) {
  view.AddLogLine(Folder + " selectionné");
  view.AddLogLine("Recherche en cours");
  search.OnUnreadable = [&view](const std::string& path, const std::string& reason) {
    view.FolderSkipped(path, reason);
  };
  search.SearchFiles(Folder, "flc", true);
  view.AddLogLine(FoundCountLine(search.FoundCount()));
  return search.FoundPaths();
}

std::string FoundCountLine(int count) {
  if (count == 0) return "Pas de fichiers trouvés";
  if (count == 1) return "1 fichier trouvé";
  return std::to_string(count) + " fichiers trouvés";
}

void LogBatchFile(TAppView& view, const std::string& path) { view.AddLogLine("Traitement de " + path); }

}  // namespace tovasel
