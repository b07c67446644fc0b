#include "app/parallel_batch.h"

#include <array>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

#include "app/app_error.h"
#include "app/batch_log.h"
#include "app/batch_outputs.h"
#include "app/conversion_session.h"
#include "app/frame_budget.h"
#include "app/file_search.h"
#include "app/optimized_conversion.h"
#include "app/options_only_view.h"
#include "app/same_file.h"
#include "flic/flic_header.h"
#include "gif/gif_image.h"

namespace tovasel {

namespace {

// A converted file, ready to be stored at a path.
using TStoreGif = std::function<void(const std::string& path)>;

// The worker's view shows nothing: the batch logs and reports for it.
TStoreGif ConvertOne(const std::string& path, TOptionsOnlyView view, const TLimits& limits) {
  const TConvertOptions options = view.ReadOptions();
  TConversionSession session(view, limits);
  session.OpenForConversion(path);
  if (options.Optimize > 0) {
    auto bytes = std::make_shared<const std::string>(session.BuildOptimizedBytes());
    return [bytes](const std::string& output) { StoreGifBytes(*bytes, output); };
  }
  std::shared_ptr<TGIFImage> document = session.BuildDocument();
  return [document](const std::string& output) { document->StoreToFile(output); };
}

// What converting the file will hold at its peak, the cache and the
// document together, estimated from its header as its session will count
// it; 0 when the header cannot be read (the conversion then fails early).
std::int64_t EstimatedCost(const std::string& path, const TConvertOptions& options, const TLimits& limits) {
  // Opening a FIFO for reading would wait for a writer; the reader refuses
  // anything but a regular file anyway.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return 0;
  std::array<std::uint8_t, TFlicHeader::kSize> head{};
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return 0;
  const TFlicHeader header = TFlicHeader::Parse(head);
  if (!header.PictureSizeAcceptable(limits.MaxFramePixels)) return 0;
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
  std::future<TStoreGif> Store;
  // The conversion's share of the batch's budget, held until its file is
  // written.
  TBudgetHold Share;
};

}  // namespace

int RunParallelBatch(const std::string& Folder, int Jobs, TAppView& view, bool KeepGoing,
                     const TLimits& Limits) {
  TFileSearch search;
  const std::vector<std::string> paths = SearchBatchFolder(Folder, search, view);
  const TOptionsOnlyView workerView(view);
  const TConvertOptions options = workerView.ReadOptions();
  const std::size_t window = static_cast<std::size_t>(Jobs < 1 ? 1 : Jobs);
  // The jobs share one budget: a conversion starts only when its share
  // fits beside those still held, else it waits for the earlier files to be
  // written. Shares are taken in file order by this thread alone, so the
  // first pending file never waits for a later one. A file too large for
  // the whole budget starts alone and its own session refuses it.
  TFrameBudget budget(Limits.FrameBudget);
  std::deque<TPendingConversion> pending;
  std::size_t next = 0;
  auto launch = [&] {
    while (next < paths.size() && pending.size() < window) {
      TBudgetHold share(budget, EstimatedCost(paths[next], options, Limits));
      if (!share.Held() && !pending.empty()) break;
      pending.push_back({std::async(std::launch::async, ConvertOne, paths[next], workerView, Limits), std::move(share)});
      ++next;
    }
  };
  // Leaving by an exception waits for the conversions still running (a
  // future from std::async joins in its destructor), and stores none of them.
  launch();
  TBatchOutputs outputs;
  int failures = 0;
  for (const std::string& path : paths) {
    LogBatchFile(view, path);
    TPendingConversion conversion = std::move(pending.front());
    pending.pop_front();
    try {
      const std::string gif = outputs.Claim(path);
      const TStoreGif store = conversion.Store.get();
      RefuseOutputOverInput(path, gif);
      store(gif);
      outputs.Written(path, gif);
    } catch (const std::exception& e) {
      if (!KeepGoing) throw;
      ++failures;
      view.FileFailed(path, ErrorMessage(e));
    }
    conversion.Share.Reset();
    launch();
  }
  return failures;
}

}  // namespace tovasel
