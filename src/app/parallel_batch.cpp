#include "app/parallel_batch.h"

#include <array>
#include <deque>
#include <fstream>
#include <future>
#include <limits>
#include <memory>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/frame_budget.h"
#include "app/file_search.h"
#include "app/path_names.h"
#include "app/same_file.h"
#include "flic/flic_header.h"
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

std::unique_ptr<TGIFImage> ConvertOne(const std::string& path, const TConvertOptions& options) {
  TOptionsOnlyView view(options);
  TConversionSession session(view);
  session.OpenForConversion(path);
  return session.BuildDocument();
}

// What converting the file will hold at its peak, the cache and the
// document together, estimated from its header as its session will count
// it; 0 when the header cannot be read (the conversion then fails early).
std::int64_t EstimatedCost(const std::string& path, const TConvertOptions& options) {
  std::array<std::uint8_t, TFlicHeader::kSize> head{};
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return 0;
  const TFlicHeader header = TFlicHeader::Parse(head);
  if (!header.PictureSizeAcceptable()) return 0;
  const std::int64_t pixels = std::int64_t{header.Width} * header.Height;
  std::int64_t documentFrames = header.Frames;
  if (options.LimitOn) {
    try {
      documentFrames = std::int64_t{ParseLimitText(options.LimitText)} + 1;
    } catch (const EAppError&) {
      documentFrames = 0;
    }
  }
  const std::int64_t cache = FramesCost(header.Frames, pixels);
  const std::int64_t document = FramesCost(documentFrames, pixels);
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  return document > kMax - cache ? kMax : cache + document;
}

struct TPendingConversion {
  std::future<std::unique_ptr<TGIFImage>> Document;
  // The conversion's share of the batch's budget, held until its file is
  // written.
  TBudgetHold Share;
};

}  // namespace

void RunParallelBatch(const std::string& Folder, int Jobs, TAppView& view, std::int64_t Budget) {
  view.AddLogLine(Folder + " selectionné");
  view.AddLogLine("Recherche en cours");
  TFileSearch search;
  search.SearchFiles(Folder, "flc", true);
  if (search.FoundCount() == 0) {
    view.AddLogLine("Pas de fichiers trouvés");
    return;
  }
  view.AddLogLine(FoundCountLine(search.FoundCount()));

  const std::vector<std::string>& paths = search.FoundPaths();
  const TConvertOptions options = view.ReadOptions();
  const std::size_t window = static_cast<std::size_t>(Jobs < 1 ? 1 : Jobs);
  // The jobs share one budget: a conversion starts only when its share
  // fits beside those still held, else it waits for the earlier files to be
  // written. Shares are taken in file order by this thread alone, so the
  // first pending file never waits for a later one. A file too large for
  // the whole budget starts alone and its own session refuses it.
  TFrameBudget budget(Budget);
  std::deque<TPendingConversion> pending;
  std::size_t next = 0;
  auto launch = [&] {
    while (next < paths.size() && pending.size() < window) {
      TBudgetHold share(budget, EstimatedCost(paths[next], options));
      if (!share.Held() && !pending.empty()) break;
      pending.push_back({std::async(std::launch::async, ConvertOne, paths[next], options), std::move(share)});
      ++next;
    }
  };
  // Leaving by an exception waits for the conversions still running (a
  // future from std::async joins in its destructor), and stores none of them.
  launch();
  for (const std::string& path : paths) {
    view.AddLogLine("Traitement de " + path);
    TPendingConversion conversion = std::move(pending.front());
    pending.pop_front();
    std::unique_ptr<TGIFImage> document = conversion.Document.get();
    const std::string output = StripExtension(path) + ".gif";
    RefuseOutputOverInput(path, output);
    document->StoreToFile(output);
    conversion.Share.Reset();
    launch();
  }
}

}  // namespace tovasel
