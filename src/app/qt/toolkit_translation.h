#pragma once

#include <memory>

class QTranslator;

namespace tovasel {

// The toolkit's own texts (file dialogs, the overwrite question, standard
// buttons) in the interface language, from the toolkit's French catalogue
// where the system has it. Without the catalogue they stay English and
// nothing else changes.
class TToolkitTranslation {
 public:
  TToolkitTranslation();
  ~TToolkitTranslation();
  TToolkitTranslation(const TToolkitTranslation&) = delete;
  TToolkitTranslation& operator=(const TToolkitTranslation&) = delete;

  // Code 1 (French) installs the French catalogue, any other code removes
  // it. Returns whether the toolkit's texts are now French.
  bool Apply(int languageCode);

 private:
  std::unique_ptr<QTranslator> translator_;
  bool installed_ = false;
};

}  // namespace tovasel
