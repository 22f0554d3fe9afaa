#pragma once

#include <QClipboard>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/converter_window/form1_presenter.h"
#include "tessaldo/converter_window/numeric_edit.h"
#include "tessaldo/converter_window/panel.h"
#include "tessaldo/platform/beeper.h"

class QKeyEvent;
class QEvent;
class QLabel;
class QLineEdit;
class QPaintEvent;
class QPushButton;
class QTextEdit;
class QTreeWidget;

namespace tessaldo {

class AboutWindowHost;
class ClickableImage;
class FocusRing;

// The converter window: one whole number shown at once in decimal, binary, octal, hexadecimal,
// Roman numerals and base 256. Its widgets hand every event to the presenter and show what it
// says.
class Form1 final : public QWidget, private NumericEditOwner, private Form1View {
  Q_OBJECT

 public:
  explicit Form1(platform::Beeper& beeper, QWidget* parent = nullptr);
  ~Form1() override;

  // The outer width in twips: the client width plus the designed frame of 45 twips on each
  // side, whatever frame the window system draws around it.
  int OuterWidth() const override;
  void SetOuterWidth(int twips) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  QWidget* CreateControl(const form1_layout::Control& control);
  QTextEdit* CreateText6();
  QTreeWidget* CreateListView1();
  void FillTable();
  int SelectedRow() const;

  // NumericEditOwner: the fields' events, handed to the presenter.
  void FieldKeyPress(NumericEdit& field, QKeyEvent& event) override;
  void FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) override;
  void FieldCommitText(NumericEdit& field, const QString& text) override;
  bool FieldDrop(NumericEdit& field, const QString& text, QPoint point) override;
  void FieldTextSetElsewhere(NumericEdit& field) override;
  bool FieldCanUndo(const NumericEdit& field) const override;
  bool FieldCanRedo(const NumericEdit& field) const override;
  Field FieldOf(const NumericEdit& field) const;
  // What a key asks of field `index`, when its turn comes.
  Gesture Resolve(int index, QKeyEvent& event);
  Gesture ResolveOtherKey(int index, QKeyEvent& event);

  // Form1View: the presenter's calls, on the widgets.
  void Show(Field field, const std::string& text) override;
  std::string Shown(Field field) const override;
  void PlaceCaret(Field field, int caret) override;
  Selection ShownSelection(Field field) const override;
  void SizeToCaption(Field label) override;
  void Beep(unsigned frequencyHz, unsigned durationMs) override;
  std::optional<std::u16string> ClipboardText(bool selection) override;
  void CopySelection(Field field) override;
  void ShowArrow(std::string_view file) override;
  void ShowAbout() override;
  void PumpEvents() override;
  QLineEdit* LineEdit(Field field) const;

  // Redraws Text6 from Text6Raw: dark blue, each pair of bars one red bar.
  void Text6Raw_Change();

  platform::Beeper& beeper_;
  Form1Presenter presenter_;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  NumericEdit* Text1 = nullptr;
  NumericEdit* Text2 = nullptr;
  NumericEdit* Text3 = nullptr;
  NumericEdit* Text4 = nullptr;
  QLineEdit* Text5 = nullptr;
  QLineEdit* Text6Raw = nullptr;
  QTextEdit* Text6 = nullptr;
  ClickableImage* Image1 = nullptr;
  ClickableImage* Image2 = nullptr;
  QTreeWidget* ListView1 = nullptr;
  QPushButton* Command2 = nullptr;
  FocusRing* focusRing_ = nullptr;
  std::unique_ptr<AboutWindowHost> about_;

  std::array<NumericEdit*, kNumericFields> numeric_{};
  std::unique_ptr<LineEditProbe> probe_;
  panel::OuterWidth width_;
};

}  // namespace tessaldo
