#include "app/parallel_batch.h"

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "app/app_error.h"
#include "app/batch_outputs.h"
#include "app/conversion_session.h"
#include "app/file_search.h"
#include "app/optimized_conversion.h"
#include "gif/gif_image.h"

namespace tovasel {

namespace {

// A worker's view: the options of the batch, nothing shown.
class TOptionsOnlyView : public TAppView {
 public:
  explicit TOptionsOnlyView(TConvertOptions options) : options_(std::move(options)) {}
  TConvertOptions ReadOptions() const override { return options_; }

 private:
  TConvertOptions options_;
};

// A converted file, ready to be stored at a path.
using TStoreGif = std::function<void(const std::string& path)>;

TStoreGif ConvertOne(const std::string& path, const TConvertOptions& options) {
  TOptionsOnlyView view(options);
  TConversionSession session(view);
  session.OpenForConversion(path);
  if (options.Optimize > 0) {
    auto bytes = std::make_shared<const std::string>(session.BuildOptimizedBytes());
    return [bytes](const std::string& output) { StoreGifBytes(*bytes, output); };
  }
  std::shared_ptr<TGIFImage> document = session.BuildDocument();
  return [document](const std::string& output) { document->StoreToFile(output); };
}

}  // namespace

int RunParallelBatch(const std::string& Folder, int Jobs, TAppView& view, bool KeepGoing) {
  view.AddLogLine(Folder + " selectionné");
  view.AddLogLine("Recherche en cours");
  TFileSearch search;
  search.OnUnreadable = [&view](const std::string& path, const std::string& reason) {
    view.FolderSkipped(path, reason);
  };
  search.SearchFiles(Folder, "flc", true);
  if (search.FoundCount() == 0) {
    view.AddLogLine("Pas de fichiers trouvés");
    return 0;
  }
  view.AddLogLine(FoundCountLine(search.FoundCount()));

  const std::vector<std::string>& paths = search.FoundPaths();
  const TConvertOptions options = view.ReadOptions();
  const std::size_t window = static_cast<std::size_t>(Jobs < 1 ? 1 : Jobs);
  std::deque<std::future<TStoreGif>> pending;
  std::size_t next = 0;
  auto launch = [&] {
    while (next < paths.size() && pending.size() < window) {
      pending.push_back(std::async(std::launch::async, ConvertOne, paths[next], options));
      ++next;
    }
  };
  // Leaving by an exception waits for the conversions still running (a
  // future from std::async joins in its destructor), and stores none of them.
  launch();
  TBatchOutputs outputs;
  int failures = 0;
  for (const std::string& path : paths) {
    view.AddLogLine("Traitement de " + path);
    std::future<TStoreGif> converted = std::move(pending.front());
    pending.pop_front();
    try {
      const std::string gif = outputs.Claim(path);
      converted.get()(gif);
      outputs.Written(path, gif);
    } catch (const std::exception& e) {
      if (!KeepGoing) throw;
      ++failures;
      view.FileFailed(path, ErrorMessage(e));
    }
    launch();
  }
  return failures;
}

}  // namespace tovasel
