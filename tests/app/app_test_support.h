#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/app_view.h"
#include "flicwriter/flic_writer.h"

namespace tovasel::testing {

namespace fw = tovasel::flicwriter;

// A view that answers with fixed options and records what it is told.
class RecordingView : public TAppView {
 public:
  TConvertOptions options;
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::vector<std::string> skippedFolders;
  int progressMaximum = -1;
  int progressSteps = 0;
  bool convertEnabled = true;
  int enableChanges = 0;

  TConvertOptions ReadOptions() const override { return options; }
  void AddLogLine(const std::string& text) override { log.push_back(text); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void StartProgress(int maximum) override {
    progressMaximum = maximum;
    progressSteps = 0;
  }
  void StepProgress() override { ++progressSteps; }
  void FolderSkipped(const std::string& path, const std::string&) override {
    skippedFolders.push_back(path);
  }
  // Failures go into the log, so that their place among the steps shows.
  void FileFailed(const std::string& path, const std::string& message) override {
    log.push_back("failed " + path + ": " + message);
  }
  void SetConvertEnabled(bool enabled) override {
    convertEnabled = enabled;
    ++enableChanges;
  }
};

// A fresh folder below the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag) {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tovasel-app-" + tag + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A small animation whose frames share a background and move a few blocks,
// with colours on and off the cube and a palette change half-way. Every
// frame sets all its colours, so the player's carried-over palette never
// shows.
inline std::vector<fw::TAnimationFrame> MovingBlocks(int width, int height, int frames,
                                                     unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<fw::TAnimationFrame> result;
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) {
    colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(rng()),
                                            static_cast<std::uint8_t>(rng()),
                                            static_cast<std::uint8_t>(rng())};
  }
  fw::TIndexedPicture background(width, height);
  for (auto& p : background.Pixels) p = static_cast<std::uint8_t>(rng() % 24);
  for (int f = 0; f < frames; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = background;
    for (int b = 0; b < 3; ++b) {
      const int bx = (f * (2 + b) + b * 5) % width;
      const int by = (f + b * 3) % height;
      for (int y = by; y < std::min(height, by + 4); ++y)
        for (int x = bx; x < std::min(width, bx + 5); ++x)
          frame.Picture.At(x, y) = static_cast<std::uint8_t>(100 + b * 10 + f % 7);
    }
    if (f == frames / 2) {
      for (int i = 0; i < 24; ++i) colours[static_cast<std::size_t>(i)].Red ^= 0x80;
    }
    frame.Colours = colours;
    frame.Encoding = f % 3 == 2 ? fw::TEncoding::enByteRun : fw::TEncoding::enDelta;
    result.push_back(std::move(frame));
  }
  return result;
}

// A chain of folders deeper than the longest path the system accepts, made
// and removed relative to each folder, as plain paths cannot reach its end.
class TooDeepFolder {
 public:
  TooDeepFolder(const std::filesystem::path& parent, int levels) {
    fds_.push_back(::open(parent.c_str(), O_RDONLY | O_DIRECTORY));
    for (int i = 0; i < levels && fds_.back() >= 0; ++i) {
      ::mkdirat(fds_.back(), kName.c_str(), 0700);
      fds_.push_back(::openat(fds_.back(), kName.c_str(), O_RDONLY | O_DIRECTORY));
    }
  }
  ~TooDeepFolder() {
    ::close(fds_.back());
    fds_.pop_back();
    while (!fds_.empty()) {
      ::unlinkat(fds_.back(), kName.c_str(), AT_REMOVEDIR);
      ::close(fds_.back());
      fds_.pop_back();
    }
  }
  bool Made() const { return fds_.back() >= 0; }

  inline static const std::string kName = std::string(200, 'd');

 private:
  std::vector<int> fds_;
};

inline void WriteAnimation(const std::string& path, const std::vector<fw::TAnimationFrame>& frames,
                           const fw::TAnimationOptions& options = {}) {
  fw::WriteFile(path, fw::Serialize(fw::BuildAnimation(frames, options)));
}

}  // namespace tovasel::testing
