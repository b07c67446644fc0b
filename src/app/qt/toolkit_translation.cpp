#include "app/qt/toolkit_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/qt/language_tables.h"

namespace tovasel {

TToolkitTranslation::TToolkitTranslation() = default;

TToolkitTranslation::~TToolkitTranslation() { Apply(kLanguageEnglish); }

bool TToolkitTranslation::Apply(int languageCode) {
  if (languageCode != kLanguageFrench) {
    if (installed_) QCoreApplication::removeTranslator(translator_.get());
    installed_ = false;
    return false;
  }
  if (installed_) return true;
  if (!translator_) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      return false;
    }
    translator_ = std::move(translator);
  }
  installed_ = QCoreApplication::installTranslator(translator_.get());
  return installed_;
}

}  // namespace tovasel
