#include "app/output_plan.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "app/app_error.h"
#include "app/path_names.h"

namespace tovasel {

namespace {

// What makes two paths one file: the inode of an existing file, or the
// folder's canonical path and the name for one still to be made.
struct TFileIdentity {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  std::string Place;

  bool operator==(const TFileIdentity& other) const {
    if (Exists != other.Exists) return false;
    return Exists ? Device == other.Device && Inode == other.Inode : Place == other.Place;
  }
};

TFileIdentity IdentityOf(const std::string& path) {
  TFileIdentity identity;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    identity.Exists = true;
    identity.Device = info.st_dev;
    identity.Inode = info.st_ino;
    return identity;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(path);
  fs::path folder = fs::weakly_canonical(fs::absolute(p.parent_path().empty() ? fs::path(".") : p.parent_path(), ec), ec);
  identity.Place = (folder / p.filename()).string();
  return identity;
}

}  // namespace

std::string BatchGifPath(const std::string& FlicPath) { return StripExtension(FlicPath) + ".gif"; }

void RefuseOutputOverInput(const std::string& input, const std::string& output) {
  if (const auto refusal = TOutputPlan({input}, {output}).FirstRefusal()) throw EAppError(*refusal);
}

TOutputPlan::TOutputPlan(const std::vector<std::string>& Inputs, const std::vector<std::string>& Outputs)
    : inputs_(Inputs),
      outputs_(Outputs),
      overInput_(Inputs.size(), -1),
      sharedWith_(Inputs.size(), -1),
      written_(Inputs.size(), false) {
  std::vector<TFileIdentity> inputIds, outputIds;
  for (const std::string& input : inputs_) inputIds.push_back(IdentityOf(input));
  for (const std::string& output : outputs_) outputIds.push_back(IdentityOf(output));
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    const auto isInput = [&](std::size_t k) { return inputIds[k].Exists && outputIds[i] == inputIds[k]; };
    // Its own input first: that is the message a single file gets.
    if (i < inputs_.size() && isInput(i)) overInput_[i] = static_cast<int>(i);
    for (std::size_t k = 0; k < inputs_.size() && overInput_[i] < 0; ++k) {
      if (isInput(k)) overInput_[i] = static_cast<int>(k);
    }
    for (std::size_t j = 0; j < i && sharedWith_[i] < 0; ++j) {
      if (outputIds[j] == outputIds[i]) sharedWith_[i] = static_cast<int>(j);
    }
  }
}

std::optional<std::string> TOutputPlan::Refusal(std::size_t i) const {
  if (const int k = overInput_[i]; k >= 0) {
    if (static_cast<std::size_t>(k) == i) {
      return "Output file " + outputs_[i] + " is the FLIC file " + inputs_[i] + " itself";
    }
    return "Output file " + outputs_[i] + " of " + inputs_[i] + " is the FLIC file " +
           inputs_[static_cast<std::size_t>(k)];
  }
  if (const int j = sharedWith_[i]; j >= 0) {
    const std::string& first = inputs_[static_cast<std::size_t>(j)];
    return written_[static_cast<std::size_t>(j)] ? "GIF file " + outputs_[i] + " was already written from " + first
                                                 : "GIF file " + outputs_[i] + " is the output of " + first + " too";
  }
  return std::nullopt;
}

std::optional<std::string> TOutputPlan::FirstRefusal() const {
  for (std::size_t i = 0; i < inputs_.size(); ++i) {
    if (auto refusal = Refusal(i)) return refusal;
  }
  return std::nullopt;
}

}  // namespace tovasel
