#pragma once

namespace tovasel {

// The texts one interface language gives the main window. Everything not
// listed here (the title, "Palette", "Transparence", "Frame n°", the
// Option and Language menus, the batch log, the About box) reads the same in
// both languages.
struct TLanguageTexts {
  // The controls, written first.
  const char* Label1;
  const char* LabeledEdit1;
  const char* LabeledEdit3;
  const char* LabeledEdit4;
  const char* StaticText3;
  const char* Button2;
  const char* GroupBox1;
  const char* CheckBoxMerge;
  const char* CheckBoxCrop;
  const char* CheckLimiteFrame;
  // The dialog filters, written next: pairs of description and pattern
  // separated by "|".
  const char* OpenFilter;
  const char* SaveFilter;
  // The menu items, written last.
  const char* Fichier1;
  const char* Ouvrir1;
  const char* Quitter1;
  const char* Conversion1;
  const char* Convertirfichier1;
  const char* Batchrpertoire1;
  const char* Aide1;
  const char* About1;
  const char* About2;
  // The Option menu's lossless mode and the two faithful modes.
  const char* Smallest1;
  const char* ExactColours1;
  const char* ExactTiming1;
};

inline constexpr int kLanguageFrench = 1;
inline constexpr int kLanguageEnglish = 2;

// Code 1 selects French; any other code selects English.
const TLanguageTexts& LanguageTexts(int code);

}  // namespace tovasel
