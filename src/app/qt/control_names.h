#pragma once

#include <initializer_list>
#include <utility>

#include <QObject>
#include <QString>

namespace tovasel {

// Gives each control its designer name as object name, so that tests and
// tools find it with findChild as they would find a control in any window.
inline void NameControls(std::initializer_list<std::pair<QObject*, const char*>> controls) {
  for (const auto& [control, name] : controls) control->setObjectName(QString::fromLatin1(name));
}

}  // namespace tovasel
