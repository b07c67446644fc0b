#pragma once

#include <functional>
#include <optional>

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "app/app_view.h"
#include "app/conversion_session.h"
#include "app/qt/toolkit_translation.h"
#include "app/qt/window_dialogs.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSplitter;

namespace tovasel {

class TForm2;
class TForm3;
class TPreviewImage;

// The main window: the preview on the left, the file fields, options,
// Convert button and log on the right, the menus, and the two interface
// languages. It coordinates only: opening, previewing, converting and the
// batch are the session's work, and every error the session raises ends in
// the one error box of RunCommand.
class TForm1 : public QMainWindow, public TAppView {
  Q_OBJECT

 public:
  explicit TForm1(TWindowDialogs dialogs = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The directory dialog and the About box are made after the main window
  // and live as long as it does.
  void SetDirectoryDialog(TForm2* dialog) { form2_ = dialog; }
  void SetAboutBox(TForm3* box) { form3_ = box; }

  // Code 1 writes the French texts, any other code the English ones; the
  // toolkit's own dialogs follow where its translations are installed.
  void ApplyLanguage(int code);

  // The commands, named after their control and event.
  void Ouvrir1Click();
  void Quitter1Click();
  void Button2Click();
  void Convertirfichier1Click();
  void Batchrpertoire1Click();
  void English1Click();
  void Francais1Click();
  void About2Click();
  void ScrollBar1Change(int position);

  // Opens Path as the Open command does, Path becoming the open dialog's
  // current file (used by Open and by dropping a file on the window).
  void OpenFile(const QString& path);

  TConversionSession& Session() { return session_; }

  // TAppView: what the session shows through the window.
  TConvertOptions ReadOptions() const override;
  void ShowFileInfo(int frameCount, int width, int height) override;
  void ShowFileName(const std::string& name) override;
  void ResetScrollPosition() override;
  void ShowFrameControls(int scrollMaximum) override;
  void ShowPreview(const TBitmap& preview) override;
  bool ShowsPreview() const override { return true; }
  void ShowPreviewIndex(int index) override;
  void SetConvertEnabled(bool enabled) override;
  void StartProgress(int maximum) override;
  void StepProgress() override;
  std::string ProgressBarName() const override;
  void AddLogLine(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  // The controls keep their designer names.
  QSplitter* Splitter1 = nullptr;
  QFrame* Panel3 = nullptr;
  TPreviewImage* Image1 = nullptr;
  QFrame* Panel2 = nullptr;
  QLabel* Label1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;
  QLabel* LabeledEdit1Label = nullptr;
  QLineEdit* LabeledEdit3 = nullptr;
  QLabel* LabeledEdit3Label = nullptr;
  QLineEdit* LabeledEdit4 = nullptr;
  QLabel* LabeledEdit4Label = nullptr;
  QScrollBar* ScrollBar1 = nullptr;
  QLabel* StaticText1 = nullptr;
  QLabel* StaticText2 = nullptr;
  QLabel* StaticText3 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CheckBoxPalette = nullptr;
  QCheckBox* CheckBoxMerge = nullptr;
  QCheckBox* CheckBoxCrop = nullptr;
  QCheckBox* CheckLimiteFrame = nullptr;
  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* Button2 = nullptr;

  QMenu* Fichier1 = nullptr;
  QAction* Ouvrir1 = nullptr;
  QAction* Quitter1 = nullptr;
  QMenu* Conversion1 = nullptr;
  QAction* Convertirfichier1 = nullptr;
  QAction* Batchrpertoire1 = nullptr;
  QMenu* Language1 = nullptr;
  QMenu* Language2 = nullptr;
  QAction* English1 = nullptr;
  QAction* Francais1 = nullptr;
  // Off at every start; ticked, conversions write the smallest lossless GIF.
  QAction* Smallest1 = nullptr;
  // Off at every start; ticked, conversions keep each frame's FLIC colours
  // and take the delays from the speed in its true unit, as the command
  // line's --exact-colours and --exact-timing do.
  QAction* ExactColours1 = nullptr;
  QAction* ExactTiming1 = nullptr;
  QMenu* Aide1 = nullptr;
  QAction* About1 = nullptr;
  QAction* About2 = nullptr;

  TFileDialogSettings OpenDialog1;
  TFileDialogSettings SaveDialog1;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  // Sets the smallest sizes at which every control of the right-hand panel
  // stays in view.
  void KeepControlsInView();
  void Smallest1Toggled(bool on);
  // Runs one command; an error it raises is shown in the error box, once.
  void RunCommand(const std::function<void()>& work);
  void ShowErrorBox(const QString& text);

  TWindowDialogs dialogs_;
  TToolkitTranslation toolkitTranslation_;
  TConversionSession session_;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  // The user's own Exact colours tick, kept while the lossless mode shows
  // the item ticked.
  bool exactColoursChoice_ = false;
};

// The file named on the program's command line (arguments as the
// application holds them, program name first): the first argument that is
// not an option, or any argument after "--", made absolute. Nothing when
// there is none.
std::optional<QString> FileArgument(const QStringList& arguments);

// Whether the command line asks for the usage text (--help or -h before any
// "--"), and that text.
bool AsksForHelp(int argc, char** argv);
const char* WindowUsage();

// The FLIC file a drop carries: one local file ending in .flc or .fli
// (letter case ignored); empty for anything else.
QString DroppedFlicPath(const QMimeData& data);

}  // namespace tovasel
