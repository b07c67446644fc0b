#include "cli/help_formatter.h"

#include <sstream>
#include <vector>

namespace tovasel::cli {
namespace {

constexpr std::size_t kColumn = 30;
constexpr std::size_t kLineWidth = 80;

// Words of text filled into lines of at most width characters; a word
// longer than that gets a line of its own.
std::vector<std::string> Fill(const std::string& text, std::size_t width) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word;
  std::string line;
  while (words >> word) {
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The value's name of a type name, without the validators' texts that
// CLI11 appends after a colon ("N:INT in [1 - 256]" gives "N").
std::string ValueName(const CLI::Option* opt) {
  const std::string type = opt->get_type_name();
  return type.substr(0, type.find(':'));
}

// CLI11 shows a flag's default value in braces after its name
// (--optimize{1}); the description says it instead.
std::string WithoutDefault(std::string names) {
  for (auto open = names.find('{'); open != std::string::npos; open = names.find('{', open)) {
    const auto close = names.find('}', open);
    names.erase(open, close == std::string::npos ? std::string::npos : close - open + 1);
  }
  return names;
}

}  // namespace

THelpFormatter::THelpFormatter() { column_width(kColumn); }

std::string THelpFormatter::Row(const std::string& left, const std::string& description) const {
  std::string row = "  " + left;
  const std::vector<std::string> lines = Fill(description, kLineWidth - kColumn);
  if (lines.empty()) return row + "\n";
  if (row.size() + 1 > kColumn) {
    row += "\n" + std::string(kColumn, ' ');
  } else {
    row.resize(kColumn, ' ');
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) row += "\n" + std::string(kColumn, ' ');
    row += lines[i];
  }
  return row + "\n";
}

std::string THelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  std::string usage = CLI::Formatter::make_usage(app, std::move(name));
  // Options that must be given belong in the usage line with the
  // arguments, not only in the list below it.
  std::string required;
  for (const CLI::Option* opt : app->get_options([](const CLI::Option* o) { return o->nonpositional() && o->get_required(); })) {
    const std::string shortest = !opt->get_snames().empty() ? "-" + opt->get_snames().front()
                                                           : "--" + opt->get_lnames().front();
    required += " " + shortest + (opt->get_type_size() != 0 ? " " + ValueName(opt) : "");
  }
  if (!required.empty() && !usage.empty() && usage.back() == '\n') usage.insert(usage.size() - 1, required);
  return usage;
}

std::string THelpFormatter::make_subcommand(const CLI::App* sub) const {
  return Row(sub->get_display_name(true), sub->get_description());
}

std::string THelpFormatter::make_option(const CLI::Option* opt, bool isPositional) const {
  return Row(make_option_name(opt, isPositional) + make_option_opts(opt), make_option_desc(opt));
}

std::string THelpFormatter::make_option_name(const CLI::Option* opt, bool isPositional) const {
  return WithoutDefault(CLI::Formatter::make_option_name(opt, isPositional));
}

std::string THelpFormatter::make_option_opts(const CLI::Option* opt) const {
  if (!opt->get_option_text().empty()) return opt->get_option_text();
  if (opt->get_positional()) return opt->get_expected_max() > 1 ? "..." : "";
  if (opt->get_type_size() == 0) return "";
  return " " + ValueName(opt);
}

}  // namespace tovasel::cli
