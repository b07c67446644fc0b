#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flicwriter/flic_writer.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tovasel::testing {

// A scratch folder for one test, the built tovasel-cli run with its output
// kept there, and FLIC files written into the folder the tool works on.
class CliFixture : public ::testing::Test {
 protected:
  TRun Run(const std::vector<std::string>& args) { return RunCli(args, dir_); }
  virtual std::filesystem::path Work() const { return dir_; }

  std::filesystem::path WriteFlic(const flicwriter::TFlicLayout& layout, const std::string& name) {
    const std::filesystem::path path = Work() / name;
    flicwriter::WriteFile(path, flicwriter::Serialize(layout));
    return path;
  }

  TempFolder folder_{"cli"};
  const std::filesystem::path& dir_ = folder_.path();
};

}  // namespace tovasel::testing
