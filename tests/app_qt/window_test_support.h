#pragma once

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "app/app_test_support.h"
#include "app/qt/window_dialogs.h"

namespace tovasel::testing {

// The control that carries this designer name as its object name, found as
// any tool finds a window's controls; a missing one ends the test run.
template <typename T>
T* Control(const QObject& parent, const char* name) {
  T* control = parent.findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("no control named %s", name);
  return control;
}

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

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the command line; returns its standard output, or a text no GIF
// equals when it fails.
inline QByteArray RunCli(const QStringList& arguments) {
  QProcess cli;
  cli.start(QStringLiteral(TOVASEL_CLI), arguments);
  if (!cli.waitForFinished(120000) || cli.exitCode() != 0) {
    qWarning() << cli.readAllStandardError();
    return "<command line failed>";
  }
  return cli.readAllStandardOutput();
}

}  // namespace tovasel::testing
