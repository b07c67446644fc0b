#include "app/qt/main_window.h"

#include <algorithm>
#include <string_view>

#include <QActionGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QUrl>

#include "app/app_error.h"
#include "app/gif_conversion.h"
#include "app/path_names.h"
#include "app/qt/about_box.h"
#include "app/qt/control_names.h"
#include "app/qt/directory_dialog.h"
#include "app/qt/frame_scroll_bar.h"
#include "app/qt/language_tables.h"
#include "app/qt/preview_image.h"
#include "app/qt/window_font.h"

namespace tovasel {

namespace {

// The window's designed size, below which the right-hand panel's controls
// would leave the window.
constexpr QSize kDesignedSize(800, 414);

// Paths travel through the core as the file system's own bytes.
std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString DisplayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// Static texts size themselves to their text, but never past the log's
// left edge.
void FitText(QLabel* label, int maxWidth) {
  label->resize(std::min(label->sizeHint().width(), maxWidth), label->height());
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, h);
  return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  auto* box = new QCheckBox(text, parent);
  box->setGeometry(x, y, w, h);
  return box;
}

// An edit with its label 3 pixels above it.
QLineEdit* MakeLabeledEdit(QWidget* parent, QLabel*& label, int x, int y, int w, int h) {
  label = new QLabel(parent);
  label->setGeometry(x, y - 13 - 3, w, 13);
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(x, y, w, h);
  edit->setReadOnly(true);
  edit->setAcceptDrops(false);
  return edit;
}

}  // namespace

std::optional<QString> FileArgument(const QStringList& arguments) {
  bool optionsEnded = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (!optionsEnded && argument == u"--") {
      optionsEnded = true;
      continue;
    }
    if (argument.isEmpty() || (!optionsEnded && argument.startsWith(u'-'))) continue;
    return QFileInfo(argument).absoluteFilePath();
  }
  return std::nullopt;
}

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") return false;
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

const char* WindowUsage() {
  return "usage: tovasel [FILE]\n"
         "Opens the window that converts FLIC animations (.fli, .flc) into animated GIF files,\n"
         "with FILE open when one is given. tovasel-cli converts from the command line.\n";
}

QString DroppedFlicPath(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == u"flc" || suffix == u"fli" ? path : QString();
}

TForm1::TForm1(TWindowDialogs dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)), session_(*this) {
  if (!dialogs_.ChooseOpenFile) dialogs_.ChooseOpenFile = RunOpenFileDialog;
  if (!dialogs_.ChooseSaveFile) dialogs_.ChooseSaveFile = RunSaveFileDialog;
  if (!dialogs_.ShowError) dialogs_.ShowError = RunErrorBox;
  if (!dialogs_.ShowMessage) dialogs_.ShowMessage = RunMessageBox;
  if (!dialogs_.ChooseFolder) {
    dialogs_.ChooseFolder = [this](QWidget*) -> std::optional<QString> {
      if (form2_ == nullptr || form2_->exec() != QDialog::Accepted) return std::nullopt;
      return form2_->SelectedPath();
    };
  }

  setWindowTitle(QStringLiteral("Tovasel"));
  setFont(WindowFont());
  setAcceptDrops(true);

  // The design-time values; ApplyLanguage replaces both filters below.
  OpenDialog1.DefaultExt = QStringLiteral("Flc");
  OpenDialog1.Filter = QStringLiteral("Fichiers FLC (*.flc)|*.flc|Fichiers FLI (*.fli)|*.fli|Tous (*.*)|*.*");
  SaveDialog1.DefaultExt = QStringLiteral("gif");
  SaveDialog1.Filter = QStringLiteral("Gif files (*.gif)|*.gif|All (*.*)|*.*");

  CreateControls();
  CreateMenus();

  // FormCreate.
  ApplyLanguage(kLanguageEnglish);

  KeepControlsInView();
  resize(kDesignedSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setHandleWidth(8);
  Splitter1->setChildrenCollapsible(false);
  setCentralWidget(Splitter1);

  Panel3 = new QFrame(Splitter1);
  Panel3->setMinimumWidth(30);
  Image1 = new TPreviewImage(Panel3);
  Image1->setGeometry(8, 8, 201, 169);

  Panel2 = new QFrame(Splitter1);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({313, 479});

  Label1 = MakeLabel(Panel2, QString(), 192, 8, 273, 13);
  Memo1 = new QPlainTextEdit(Panel2);
  Memo1->setGeometry(192, 24, 273, 337);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setAcceptDrops(false);
  // Tab moves on to the next control rather than typing into the log.
  Memo1->setTabChangesFocus(true);

  LabeledEdit1 = MakeLabeledEdit(Panel2, LabeledEdit1Label, 8, 24, 169, 21);
  LabeledEdit3 = MakeLabeledEdit(Panel2, LabeledEdit3Label, 8, 64, 81, 21);
  LabeledEdit4 = MakeLabeledEdit(Panel2, LabeledEdit4Label, 96, 64, 81, 21);

  ScrollBar1 = new TFrameScrollBar(Panel2);
  ScrollBar1->setGeometry(8, 96, 169, 16);
  ScrollBar1->setRange(0, 0);
  ScrollBar1->setSingleStep(1);
  // A click in the track moves by one frame, as an arrow does.
  ScrollBar1->setPageStep(1);
  ScrollBar1->setTracking(true);
  ScrollBar1->hide();
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);

  StaticText1 = MakeLabel(Panel2, QStringLiteral("Frame n°"), 8, 120, 46, 17);
  FitText(StaticText1, 120);
  StaticText1->hide();
  // The index follows the caption, which may come out wider than designed.
  StaticText2 = MakeLabel(Panel2, QStringLiteral("0"), std::max(56, StaticText1->geometry().right() + 3),
                          120, 10, 17);
  StaticText2->hide();
  StaticText3 = MakeLabel(Panel2, QString(), 8, 136, 57, 17);

  GroupBox1 = new QGroupBox(Panel2);
  GroupBox1->setGeometry(8, 152, 177, 145);
  // Boxes with nothing beside them reach the group's right edge, so that no
  // font cuts their captions.
  CheckBoxPalette = MakeCheckBox(GroupBox1, QStringLiteral("Palette"), 8, 24, 161, 17);
  CheckBoxMerge = MakeCheckBox(GroupBox1, QString(), 8, 48, 161, 17);
  CheckBoxCrop = MakeCheckBox(GroupBox1, QString(), 8, 72, 161, 17);
  // The French "Limite à x frames :" needs more room than designed at this
  // font: the box and its number field move right, into a group box 8
  // pixels wider than designed (it still ends short of the log).
  CheckLimiteFrame = MakeCheckBox(GroupBox1, QString(), 8, 96, 130, 17);
  Edit1 = new QLineEdit(GroupBox1);
  Edit1->setGeometry(138, 96, 34, 21);
  Edit1->setAcceptDrops(false);
  CheckBox1 = MakeCheckBox(GroupBox1, QStringLiteral("Transparence"), 8, 120, 161, 17);

  ProgressBar1 = new QProgressBar(Panel2);
  ProgressBar1->setGeometry(8, 304, 169, 16);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);

  Button2 = new QPushButton(Panel2);
  Button2->setGeometry(56, 328, 75, 25);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);

  QWidget* order[] = {LabeledEdit1,    LabeledEdit3,  LabeledEdit4, ScrollBar1,       Button2,
                      CheckBoxPalette, CheckBoxMerge, CheckBoxCrop, CheckLimiteFrame, Edit1,
                      CheckBox1,       Memo1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  NameControls({{Splitter1, "Splitter1"},
                {Panel3, "Panel3"},
                {Image1, "Image1"},
                {Panel2, "Panel2"},
                {Label1, "Label1"},
                {Memo1, "Memo1"},
                {LabeledEdit1, "LabeledEdit1"},
                {LabeledEdit1Label, "LabeledEdit1Label"},
                {LabeledEdit3, "LabeledEdit3"},
                {LabeledEdit3Label, "LabeledEdit3Label"},
                {LabeledEdit4, "LabeledEdit4"},
                {LabeledEdit4Label, "LabeledEdit4Label"},
                {ScrollBar1, "ScrollBar1"},
                {StaticText1, "StaticText1"},
                {StaticText2, "StaticText2"},
                {StaticText3, "StaticText3"},
                {GroupBox1, "GroupBox1"},
                {CheckBoxPalette, "CheckBoxPalette"},
                {CheckBoxMerge, "CheckBoxMerge"},
                {CheckBoxCrop, "CheckBoxCrop"},
                {CheckLimiteFrame, "CheckLimiteFrame"},
                {Edit1, "Edit1"},
                {CheckBox1, "CheckBox1"},
                {ProgressBar1, "ProgressBar1"},
                {Button2, "Button2"}});
}

void TForm1::CreateMenus() {
  Fichier1 = menuBar()->addMenu(QString());
  Ouvrir1 = Fichier1->addAction(QString(), this, &TForm1::Ouvrir1Click);
  Fichier1->addSeparator();
  Quitter1 = Fichier1->addAction(QString(), this, &TForm1::Quitter1Click);
  // Spelled out rather than QKeySequence::Quit: on a platform without a
  // desktop theme Qt falls back to the Windows key scheme, which has no
  // Quit key.
  Ouvrir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Quitter1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  Conversion1 = menuBar()->addMenu(QString());
  Convertirfichier1 = Conversion1->addAction(QString(), this, &TForm1::Convertirfichier1Click);
  Batchrpertoire1 = Conversion1->addAction(QString(), this, &TForm1::Batchrpertoire1Click);

  Language1 = menuBar()->addMenu(QStringLiteral("&Option"));
  Language2 = Language1->addMenu(QStringLiteral("&Language"));
  auto* languages = new QActionGroup(this);
  English1 = Language2->addAction(QStringLiteral("&English"), this, &TForm1::English1Click);
  Francais1 = Language2->addAction(QStringLiteral("F&rancais"), this, &TForm1::Francais1Click);
  for (QAction* action : {English1, Francais1}) {
    action->setCheckable(true);
    languages->addAction(action);
  }
  English1->setChecked(true);
  Smallest1 = Language1->addAction(QString());
  ExactColours1 = Language1->addAction(QString());
  ExactTiming1 = Language1->addAction(QString());
  for (QAction* action : {Smallest1, ExactColours1, ExactTiming1}) action->setCheckable(true);
  connect(Smallest1, &QAction::toggled, this, &TForm1::Smallest1Toggled);

  Aide1 = menuBar()->addMenu(QString());
  // The manual item is there but does nothing.
  About1 = Aide1->addAction(QString());
  Aide1->addSeparator();
  About2 = Aide1->addAction(QStringLiteral("&About"), this, &TForm1::About2Click);

  NameControls({{Fichier1, "Fichier1"},
                {Ouvrir1, "Ouvrir1"},
                {Quitter1, "Quitter1"},
                {Conversion1, "Conversion1"},
                {Convertirfichier1, "Convertirfichier1"},
                {Batchrpertoire1, "Batchrpertoire1"},
                {Language1, "Language1"},
                {Language2, "Language2"},
                {English1, "English1"},
                {Francais1, "Francais1"},
                {Smallest1, "Smallest1"},
                {ExactColours1, "ExactColours1"},
                {ExactTiming1, "ExactTiming1"},
                {Aide1, "Aide1"},
                {About1, "About1"},
                {About2, "About2"}});
}

void TForm1::KeepControlsInView() {
  // The panel's controls keep fixed positions from its corner, so the
  // splitter must leave it room for the rightmost and lowest of them inside
  // its frame.
  const QRect controls = Panel2->childrenRect();
  const int frame = Panel2->frameWidth();
  Panel2->setMinimumSize(controls.right() + 1 + frame, controls.bottom() + 1 + frame);
  // An explicit minimum overrides the layout's, so it takes the larger.
  setMinimumSize(kDesignedSize.expandedTo(minimumSizeHint()));
}

void TForm1::Smallest1Toggled(bool on) {
  // The lossless mode replaces these boxes; their ticks wait untouched.
  for (QCheckBox* box : {CheckBoxPalette, CheckBoxMerge, CheckBoxCrop}) box->setEnabled(!on);
  // It keeps the exact colours whatever the item says, so the item shows
  // that while the user's own tick waits for the mode to end.
  if (on) exactColoursChoice_ = ExactColours1->isChecked();
  ExactColours1->setChecked(on || exactColoursChoice_);
  ExactColours1->setEnabled(!on);
}

void TForm1::ApplyLanguage(int code) {
  const TLanguageTexts& t = LanguageTexts(code);
  Label1->setText(QString::fromUtf8(t.Label1));
  LabeledEdit1Label->setText(QString::fromUtf8(t.LabeledEdit1));
  LabeledEdit3Label->setText(QString::fromUtf8(t.LabeledEdit3));
  LabeledEdit4Label->setText(QString::fromUtf8(t.LabeledEdit4));
  StaticText3->setText(QString::fromUtf8(t.StaticText3));
  FitText(StaticText3, 176);
  Button2->setText(QString::fromUtf8(t.Button2));
  GroupBox1->setTitle(QString::fromUtf8(t.GroupBox1));
  CheckBoxMerge->setText(QString::fromUtf8(t.CheckBoxMerge));
  CheckBoxCrop->setText(QString::fromUtf8(t.CheckBoxCrop));
  CheckLimiteFrame->setText(QString::fromUtf8(t.CheckLimiteFrame));
  OpenDialog1.Filter = QString::fromUtf8(t.OpenFilter);
  SaveDialog1.Filter = QString::fromUtf8(t.SaveFilter);
  Fichier1->setTitle(QString::fromUtf8(t.Fichier1));
  Ouvrir1->setText(QString::fromUtf8(t.Ouvrir1));
  Quitter1->setText(QString::fromUtf8(t.Quitter1));
  Conversion1->setTitle(QString::fromUtf8(t.Conversion1));
  Convertirfichier1->setText(QString::fromUtf8(t.Convertirfichier1));
  Batchrpertoire1->setText(QString::fromUtf8(t.Batchrpertoire1));
  Aide1->setTitle(QString::fromUtf8(t.Aide1));
  About1->setText(QString::fromUtf8(t.About1));
  About2->setText(QString::fromUtf8(t.About2));
  Smallest1->setText(QString::fromUtf8(t.Smallest1));
  ExactColours1->setText(QString::fromUtf8(t.ExactColours1));
  ExactTiming1->setText(QString::fromUtf8(t.ExactTiming1));
  toolkitTranslation_.Apply(code);
}

void TForm1::RunCommand(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    // EAppError, GIFException, a failed allocation and the library's own
    // errors alike.
    ShowErrorBox(QString::fromUtf8(ErrorText(e)));
  }
}

void TForm1::ShowErrorBox(const QString& text) { dialogs_.ShowError(this, text); }

void TForm1::OpenFile(const QString& path) {
  OpenDialog1.FileName = path;
  // The open sequence runs to its end either way; a file that did not open
  // is then said so, rather than shown as 0 frames beside the old picture.
  RunCommand([&] { session_.OpenForConversion(NativePath(path)); });
}

void TForm1::Ouvrir1Click() {
  const std::optional<QString> chosen = dialogs_.ChooseOpenFile(this, OpenDialog1);
  if (chosen) OpenFile(*chosen);
}

void TForm1::Quitter1Click() {
  close();
  QCoreApplication::quit();
}

void TForm1::Button2Click() {
  if (session_.FrameCache.Count() == 0) {
    // An open file without frames is refused as in the batch; with no file
    // open there is nothing to convert and nothing to say.
    if (session_.FileOpen()) {
      RunCommand([&] { throw EAppError(NoFramesMessage(session_.FlicDecoder.FileName())); });
    }
    return;
  }
  SaveDialog1.FileName = DisplayPath(StripExtension(NativePath(OpenDialog1.FileName)));
  const std::optional<QString> chosen = dialogs_.ChooseSaveFile(this, SaveDialog1);
  if (!chosen) return;
  RunCommand([&] { session_.ConvertToGif(NativePath(*chosen)); });
}

void TForm1::Convertirfichier1Click() { Button2Click(); }

void TForm1::Batchrpertoire1Click() {
  AddLogLine("Choix du repertoire à scanner");
  const std::optional<QString> folder = dialogs_.ChooseFolder(this);
  if (!folder) return;
  RunCommand([&] { session_.RunBatch(NativePath(*folder)); });
}

void TForm1::English1Click() {
  English1->setChecked(true);
  ApplyLanguage(kLanguageEnglish);
}

void TForm1::Francais1Click() {
  Francais1->setChecked(true);
  ApplyLanguage(kLanguageFrench);
}

void TForm1::About2Click() {
  if (form3_ != nullptr) form3_->exec();
}

void TForm1::ScrollBar1Change(int position) {
  RunCommand([&] { session_.ShowCachedFrame(position); });
}

TConvertOptions TForm1::ReadOptions() const {
  TConvertOptions options;
  options.Transparent = CheckBox1->isChecked();
  options.Palette = CheckBoxPalette->isChecked();
  options.Merge = CheckBoxMerge->isChecked();
  options.Crop = CheckBoxCrop->isChecked();
  options.LimitOn = CheckLimiteFrame->isChecked();
  options.LimitText = Edit1->text().toStdString();
  options.ExactColours = ExactColours1->isChecked();
  options.ExactTiming = ExactTiming1->isChecked();
  if (Smallest1->isChecked()) {
    options.Optimize = 1;
    options.Palette = options.Merge = options.Crop = false;
  }
  return options;
}

void TForm1::ShowFileInfo(int frameCount, int width, int height) {
  LabeledEdit1->setText(QString::number(frameCount));
  LabeledEdit3->setText(QString::number(height));
  LabeledEdit4->setText(QString::number(width));
}

void TForm1::ShowFileName(const std::string& name) {
  StaticText3->setText(DisplayPath(name));
  FitText(StaticText3, 176);
  StaticText3->repaint();
}

void TForm1::ResetScrollPosition() { ScrollBar1->setValue(0); }

void TForm1::ShowFrameControls(int scrollMaximum) {
  ScrollBar1->show();
  StaticText1->show();
  StaticText2->show();
  ScrollBar1->setMaximum(scrollMaximum);
}

void TForm1::ShowPreview(const TBitmap& preview) {
  Image1->SetPicture(preview);
  Image1->repaint();
}

void TForm1::ShowPreviewIndex(int index) {
  StaticText2->setText(QString::number(index));
  FitText(StaticText2, 120);
  StaticText2->repaint();
}

void TForm1::SetConvertEnabled(bool enabled) {
  Button2->setEnabled(enabled);
  Convertirfichier1->setEnabled(enabled);
}

void TForm1::StartProgress(int maximum) {
  // A range of 0..0 would turn the bar into a busy indicator; an empty
  // conversion shows an empty bar instead.
  ProgressBar1->setRange(0, std::max(maximum, 1));
  ProgressBar1->setValue(0);
}

void TForm1::StepProgress() {
  ProgressBar1->setValue(ProgressBar1->value() + 1);
  ProgressBar1->repaint();
}

std::string TForm1::ProgressBarName() const { return ProgressBar1->metaObject()->className(); }

void TForm1::AddLogLine(const std::string& text) {
  Memo1->appendPlainText(QString::fromUtf8(text));
  Memo1->viewport()->repaint();
}

void TForm1::ShowMessage(const std::string& text) { dialogs_.ShowMessage(this, QString::fromUtf8(text)); }

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData() != nullptr && !DroppedFlicPath(*event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  const QString path = event->mimeData() != nullptr ? DroppedFlicPath(*event->mimeData()) : QString();
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenFile(path);
}

}  // namespace tovasel
