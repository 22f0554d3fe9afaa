#pragma once

#include <QClipboard>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <chrono>
#include <memory>

#include "tessaldo/converter_window/converter_model.h"
#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/converter_window/held_keys.h"
#include "tessaldo/converter_window/job_queue.h"
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
// Roman numerals and base 256. Typing into one of the four numeric fields converts the number,
// key by key, into all the others; picking characters from the table on the right builds the
// base-256 field and converts it back.
class Form1 final : public QWidget, private NumericEditOwner {
  Q_OBJECT

 public:
  explicit Form1(platform::Beeper& beeper, QWidget* parent = nullptr);
  ~Form1() override;

  // The tokens picked from the character table, oldest first. Guided entry appends and removes
  // them; every accepted edit of a numeric field discards them.
  QStringList CaratteriScelti() const;

  // The outer width in twips: the client width plus the designed frame of 45 twips on each
  // side, whatever frame the window system draws around it.
  int OuterWidth() const;
  void SetOuterWidth(int twips);

  // The directory "left.jpg" and "right.jpg" are read from: the executable's directory unless
  // set otherwise.
  QString ProgramDirectory() const;
  void SetProgramDirectory(const QString& directory);

  // The about window's one instance: nullptr until the first click on Image1.
  AboutWindowHost* AboutWindow() const { return about_.get(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Called once per digit written: lets the window process its pending events, except user
  // input, so what the user does meanwhile reaches the window after the running job. A pass over
  // the event loop costs a hundred digits, so it runs at most once a millisecond.
  struct EventPump {
    using Clock = std::chrono::steady_clock;
    void operator()();
    Clock::time_point last;  // this window's last pass
  };

  void BuildLayout();
  QWidget* CreateControl(const form1_layout::Control& control);
  QTextEdit* CreateText6();
  QTreeWidget* CreateListView1();

  // Start-up, before the window is first shown: narrows the window and fills the table.
  void Form_Load();
  // Guided entry: `row` is the table's selected row when the pick arrived, or -1.
  void ListView1_DblClick(int row);
  void Command2_Click();
  void Image1_Click();
  // Opens or closes the panel with the table and "Cancella", and swaps the arrow.
  void Image2_Click();
  int SelectedRow() const;

  // NumericEditOwner: each entry runs, or queues, one job of the window.
  void FieldKeyPress(NumericEdit& field, QKeyEvent& event) override;
  void FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) override;
  void FieldCommitText(NumericEdit& field, const QString& text) override;
  bool FieldDrop(NumericEdit& field, const QString& text, QPoint point) override;
  void FieldTextSetElsewhere(NumericEdit& field) override;
  bool FieldCanUndo(const NumericEdit& field) const override;
  bool FieldCanRedo(const NumericEdit& field) const override;

  int IndexOf(const NumericEdit& field) const;

  // A key of a numeric field, turned into the model's request.
  void ProcessKey(int index, QKeyEvent& event);
  void ProcessKeyNow(int index, QKeyEvent& event);
  void ProcessOtherKey(int index, QKeyEvent& event);

  // Hands an edit of numeric field `index`, with the field's caret and selection, to the model
  // and shows its answer.
  Outcome Edit(int index, Request request);
  void EditWithClipboard(int index, Request::Kind kind, QClipboard::Mode mode);
  // Applies the model's writes in their order, places the edited field's caret, and beeps on a
  // refusal.
  void Display(const Result& result, int edited = -1);
  void DisplayModel();
  void SetLabel6Caption(const QString& caption);

  // Redraws Text6 from Text6Raw: dark blue, each pair of bars one red bar.
  void Text6Raw_Change();

  platform::Beeper& beeper_;
  EventPump eventPump_;
  ConverterModel model_;
  JobQueue jobs_;
  HeldKeys held_;

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
  QString programDirectory_;
};

}  // namespace tessaldo
