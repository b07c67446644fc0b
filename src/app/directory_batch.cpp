#include "app/directory_batch.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "app/app_error.h"
#include "app/batch_log.h"
#include "app/conversion_session.h"
#include "app/frame_budget.h"
#include "app/optimized_conversion.h"
#include "app/options_only_view.h"
#include "app/output_plan.h"
#include "flic/flic_header.h"
#include "gif/output_target.h"
#include "gif/scratch_file.h"

namespace tovasel {

namespace {

// Writes a converted file's GIF at its place; returns the file's damage
// note (see TConversionSession::DamageNote).
using TStoreGif = std::function<std::string(const std::string& gif)>;

// A file converted ahead of its turn: what stores it, and its share of the
// batch's budget, held until it is stored.
struct TPendingFile {
  std::future<TStoreGif> Store;
  TBudgetHold Share;
};

// The decoder as the file's whole first pass leaves it, however its
// conversion went: the next file starts from the colours it holds then, as
// it would after the window's capture of every frame.
void FinishFirstPass(TFlicDecoder& decoder) {
  if (!decoder.IsOpen() || decoder.CurrentLoop() != 1) return;
  for (int step = decoder.CurrentFrame() - 1; step < decoder.FrameCount(); ++step) decoder.NextFrame();
}

// What converting the file will hold at its peak, estimated from its header
// as its conversion will count it; 0 when the header cannot be read (the
// conversion then fails early).
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
  if (options.Optimize > 0) return FramesCost(kSmallestGifPictures, pixels);
  if (!options.Palette) return FramesCost(2, pixels);
  std::int64_t frames = header.Frames;
  if (options.LimitOn) {
    try {
      frames = std::int64_t{ParseLimitText(options.LimitText)} + 1;
    } catch (const EAppError&) {
      frames = 0;
    }
  }
  return FramesCost(frames, pixels);
}

// Converts one file on a decoder of its own, starting from Carry. With a
// scratch file the GIF waits there for its turn, so that a later file is
// never written before an earlier one fails; without one (the folder takes
// no new file) the file converts at its turn instead.
TStoreGif ConvertAhead(const std::string& path, const TOptionsOnlyView& view, const TLimits& limits,
                       const TDecoderCarry& carry, const std::shared_ptr<const TScratchFile>& scratch) {
  const auto convert = [path, view, limits, carry](const std::string& gif) {
    TOptionsOnlyView quiet(view);
    TConversionSession session(quiet, limits);
    session.FlicDecoder.Adopt(carry);
    session.ConvertFile(path, gif);
    return session.DamageNote();
  };
  if (!scratch) return convert;
  const std::string note = convert(scratch->Path());
  return [scratch, note](const std::string& gif) {
    StoreOutput(gif, [&scratch](std::ostream& stream) {
      std::ifstream in(scratch->Path(), std::ios::binary);
      if (!in) throw EAppError("Cannot read converted file " + scratch->Path());
      stream << in.rdbuf();
    });
    return note;
  };
}

}  // namespace

int TDirectoryBatch::Run(const std::string& Folder, bool KeepGoing, int Jobs) {
  const std::vector<std::string> paths = SearchBatchFolder(Folder, session_.Search, view_);
  std::vector<std::string> gifs;
  for (const std::string& path : paths) gifs.push_back(BatchGifPath(path));
  TOutputPlan plan(paths, gifs);

  // The files converted ahead of their turn, with more than one job.
  const TOptionsOnlyView workerView(view_);
  const TConvertOptions options = workerView.ReadOptions();
  const std::size_t window = static_cast<std::size_t>(Jobs < 1 ? 1 : Jobs);
  TFrameBudget budget(limits_.FrameBudget);
  std::vector<std::optional<TPendingFile>> ahead(paths.size());
  std::size_t next = 0, inFlight = 0;
  TFlicDecoder walker;
  walker.SetLimits(limits_);
  // Conversions start in file order, each when its share fits beside those
  // still held (a file too large for the whole budget starts alone, and its
  // own conversion refuses it). The walker follows each file's first pass,
  // as one decoder converting them all would.
  const auto launch = [&] {
    while (window > 1 && next < paths.size() && inFlight < window) {
      if (plan.Refusal(next)) {
        ++next;
        continue;
      }
      const std::string& path = paths[next];
      TBudgetHold share(budget, EstimatedCost(path, options, limits_));
      if (!share.Held() && inFlight > 0) break;
      std::shared_ptr<const TScratchFile> scratch = TScratchFile::Beside(path);
      ahead[next] = TPendingFile{
          std::async(std::launch::async, ConvertAhead, path, workerView, limits_, walker.Carry(), scratch),
          std::move(share)};
      if (walker.Open(path)) FinishFirstPass(walker);
      ++next;
      ++inFlight;
    }
  };

  // Leaving by an exception waits for the conversions still running (a
  // future from std::async joins in its destructor), and stores none of
  // them; their scratch files go with them.
  launch();
  int failures = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    LogBatchFile(view_, path);
    try {
      if (const auto refusal = plan.Refusal(i)) throw EAppError(*refusal);
      std::string note;
      if (window > 1) {
        std::optional<TPendingFile> file = std::move(ahead[i]);
        ahead[i].reset();
        --inFlight;
        const TStoreGif store = file->Store.get();
        note = store(gifs[i]);
      } else if (view_.ShowsPreview()) {
        // The window shows each file and keeps its frames in the cache.
        session_.OpenForConversion(path);
        session_.ConvertToGif(gifs[i]);
      } else {
        struct TFinish {
          TFlicDecoder& decoder;
          ~TFinish() { FinishFirstPass(decoder); }
        } finish{session_.FlicDecoder};
        session_.ConvertFile(path, gifs[i]);
        note = session_.DamageNote();
      }
      plan.Written(i);
      if (!note.empty()) view_.ShowNote(note);
    } catch (const std::exception& e) {
      if (!KeepGoing) throw;
      ++failures;
      view_.FileFailed(path, ErrorMessage(e));
    }
    launch();
  }
  return failures;
}

}  // namespace tovasel
