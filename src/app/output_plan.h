#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tovasel {

// Which output each input of one command may write, worked out before
// anything is written: an output that is the same file as one of the
// inputs (device and inode where it exists, so links count), or that an
// earlier input writes already (canonical folder and name where it does not
// exist yet, so x.gif and ./x.gif match), is refused.
class TOutputPlan {
 public:
  // Outputs[i] is the file Inputs[i] would write.
  TOutputPlan(const std::vector<std::string>& Inputs, const std::vector<std::string>& Outputs);

  // Why input i may not write its output, or nothing when it may. An
  // earlier input of the same output keeps it; Written says whether that
  // one was written, for the message.
  std::optional<std::string> Refusal(std::size_t i) const;
  // The first refusal of the whole command, for a command that refuses to
  // start at all.
  std::optional<std::string> FirstRefusal() const;

  // Records that input i wrote its output.
  void Written(std::size_t i) { written_[i] = true; }

 private:
  std::vector<std::string> inputs_;
  std::vector<std::string> outputs_;
  // For each input: the input its output is, the earlier input of the same
  // output, or -1.
  std::vector<int> overInput_;
  std::vector<int> sharedWith_;
  std::vector<bool> written_;
};

// Raises EAppError "Output file <output> is the FLIC file <input> itself"
// when writing output would replace the file being converted.
void RefuseOutputOverInput(const std::string& input, const std::string& output);

// The GIF a batch writes for a FLIC file: its path with ".gif" for its
// extension.
std::string BatchGifPath(const std::string& FlicPath);

}  // namespace tovasel
