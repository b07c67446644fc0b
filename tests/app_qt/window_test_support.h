#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "app/app_test_support.h"
#include "app/qt/window_dialogs.h"

namespace tovasel::testing {

// Dialog answers prepared by a test, and what the window asked.
struct ScriptedDialogs {
  std::optional<QString> openAnswer;
  std::optional<QString> saveAnswer;
  std::optional<QString> folderAnswer;
  int saveAsked = 0;
  TFileDialogSettings lastOpenSettings;
  TFileDialogSettings lastSaveSettings;
  QStringList errors;
  QStringList messages;

  TWindowDialogs Hooks() {
    TWindowDialogs hooks;
    hooks.ChooseOpenFile = [this](QWidget*, const TFileDialogSettings& settings) {
      lastOpenSettings = settings;
      return openAnswer;
    };
    hooks.ChooseSaveFile = [this](QWidget*, const TFileDialogSettings& settings) {
      ++saveAsked;
      lastSaveSettings = settings;
      return saveAnswer;
    };
    hooks.ChooseFolder = [this](QWidget*) { return folderAnswer; };
    hooks.ShowError = [this](QWidget*, const QString& text) { errors << text; };
    hooks.ShowMessage = [this](QWidget*, const QString& text) { messages << text; };
    return hooks;
  }
};

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace tovasel::testing
