#include "app/parallel_batch.h"

#include <unistd.h>

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
#include "app/streamed_conversion.h"
#include "flic/flic_header.h"
#include "gif/gif_image.h"
#include "gif/safe_file_store.h"
#include "gif/temp_file_registry.h"

namespace tovasel {

namespace {

// The frames a streamed conversion holds at once: the one it writes and the
// one kept for the GIF's header.
constexpr std::int64_t kStreamedFrames = 2;

// A converted file, ready to be stored at a path.
using TStoreGif = std::function<void(const std::string& path)>;

// Where a streamed GIF waits for its turn to be stored: a temporary file
// beside the FLIC file, as the safe store makes them, removed once the GIF
// is stored or dropped, and by the signal handlers if the batch is
// interrupted first.
class TScratchGif {
 public:
  // Null when the folder takes no new file; the conversion then builds its
  // document in memory, and storing it fails as it always did.
  static std::shared_ptr<TScratchGif> Beside(const std::string& flicPath) {
    std::filesystem::path folder = std::filesystem::path(flicPath).parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ".tovasel-XXXXXX").string();
    int slot = -1;
    const int fd = TTempFileRegistry::CreateTemporary(pattern, slot);
    if (fd < 0) return nullptr;
    ::close(fd);
    return std::shared_ptr<TScratchGif>(new TScratchGif(std::move(pattern), slot));
  }
  ~TScratchGif() {
    // Unlinked before it is forgotten, so a signal in between cannot leave it.
    ::unlink(path_.c_str());
    TTempFileRegistry::Remove(slot_);
  }
  TScratchGif(const TScratchGif&) = delete;
  TScratchGif& operator=(const TScratchGif&) = delete;

  const std::string& Path() const { return path_; }

  // Copies the GIF to `output` through the same safe store as a document.
  void StoreTo(const std::string& output) const {
    StoreFileSafely(output, [this](std::ostream& stream) {
      std::ifstream in(path_, std::ios::binary);
      if (!in) throw EAppError("Cannot read converted file " + path_);
      stream << in.rdbuf();
    });
  }

 private:
  TScratchGif(std::string path, int slot) : path_(std::move(path)), slot_(slot) {}

  std::string path_;
  int slot_;
};

// The worker's view shows nothing: the batch logs and reports for it. With
// a scratch file the options stream: the GIF goes from the decoder into it
// without any frame held, and reaches its place only at its turn, so that a
// later file is never written before an earlier one fails.
TStoreGif ConvertOne(const std::string& path, TOptionsOnlyView view, const TLimits& limits,
                     const std::shared_ptr<const TScratchGif>& scratch) {
  const TConvertOptions options = view.ReadOptions();
  TConversionSession session(view, limits);
  if (scratch) {
    session.ConvertFile(path, scratch->Path());
    return [scratch](const std::string& output) { scratch->StoreTo(output); };
  }
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
// A streamed conversion holds the two frames it works on, whatever the
// frame count.
std::int64_t EstimatedCost(const std::string& path, const TConvertOptions& options, const TLimits& limits,
                           bool streamed) {
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
  if (streamed) return FramesCost(kStreamedFrames, pixels);
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
      std::shared_ptr<const TScratchGif> scratch;
      if (StreamsFrames(options)) scratch = TScratchGif::Beside(paths[next]);
      TBudgetHold share(budget, EstimatedCost(paths[next], options, Limits, scratch != nullptr));
      if (!share.Held() && !pending.empty()) break;
      pending.push_back({std::async(std::launch::async, ConvertOne, paths[next], workerView, Limits, scratch),
                         std::move(share)});
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
