#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace tovasel::cli {

// The tool's --help as a person would write it: an option's value named by
// its type name alone ("--jobs N", not "INT:INT in [1 - 256]"), ranges and
// conflicts told in its description instead of "Excludes:" lists, required
// options in the usage line, and descriptions wrapped to the terminal's
// usual 80 columns. An option's option_text follows its names directly, so
// `--optimize` with "[=LEVEL]" reads "--optimize[=LEVEL]".
//
// The bash completion and the manual page read this layout: each option
// line starts with two spaces and the option's names, a value's name follows
// after one space, and continuation lines start with spaces only.
class THelpFormatter : public CLI::Formatter {
 public:
  THelpFormatter();

  std::string make_usage(const CLI::App* app, std::string name) const override;
  std::string make_subcommand(const CLI::App* sub) const override;
  std::string make_option(const CLI::Option* opt, bool isPositional) const override;
  std::string make_option_name(const CLI::Option* opt, bool isPositional) const override;
  std::string make_option_opts(const CLI::Option* opt) const override;

 private:
  // "  " + left, padded to the description column, then the description
  // wrapped; a left part too wide for the column puts it on a line of its own.
  std::string Row(const std::string& left, const std::string& description) const;
};

}  // namespace tovasel::cli
