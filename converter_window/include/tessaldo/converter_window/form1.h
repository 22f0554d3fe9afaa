#pragma once

#include <QClipboard>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "tessaldo/conversion/currency.h"
#include "tessaldo/converter_window/numeric_edit.h"
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

// The fields that conversions write, in the order of their designer numbers.
enum class FieldId { kText1, kText2, kText3, kText4, kText5, kText6Raw };

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
  QStringList CaratteriScelti;

  // The outer width in twips: the client width plus the designed frame of 45 twips on each
  // side, whatever frame the window system draws around it. Reading gives back the width last
  // set, as long as the window still has the client width that setting gave it; a window that
  // has been resized otherwise reads as its client width in twips plus the frame.
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
  enum class Outcome { kUnchanged, kRefused, kAccepted };
  enum class HistoryStep { kRecord, kUndo, kRedo };

  // Undo and redo. QLineEdit's own history is never used: each numeric field keeps the texts the
  // user's edits gave it since the window last wrote it, and undo and redo replay them through
  // Commit like any other edit, so the other fields follow. A write by the window starts the
  // field's history afresh, as QLineEdit::setText does for its own.
  struct History {
    struct Entry {
      QString text;
      int caret = 0;
    };
    std::vector<Entry> entries{Entry{}};
    std::size_t at = 0;

    void Reset(const QString& text);
    void Record(const QString& text, int caret);
  };

  void BuildLayout();

  // Start-up, before the window is first shown: narrows the window and fills the table.
  void FormLoad();
  // Guided entry: `row` is the table's selected row when the pick arrived, or -1.
  void ListView1DblClick(int row);
  void Command2Click();
  // Opens or closes the panel with the table and "Cancella", and swaps the arrow.
  void Image1Click();
  void Image2Click();
  int SelectedRow() const;
  // Writes the notation of CaratteriScelti into Text6Raw, reads it back and writes the value into
  // Text1 to Text5. A value the window cannot take gets the beep and puts Text6Raw back; the
  // caller then restores the list.
  bool ConvertPicked();

  // NumericEditOwner: each entry runs, or queues, one job of the window.
  void FieldKeyPress(NumericEdit& field, QKeyEvent& event) override;
  void FieldPaste(NumericEdit& field, QClipboard::Mode mode, bool replaceSelection) override;
  void FieldCut(NumericEdit& field) override;
  void FieldDeleteSelection(NumericEdit& field) override;
  void FieldUndo(NumericEdit& field) override;
  void FieldRedo(NumericEdit& field) override;
  bool FieldDrop(NumericEdit& field, const QString& text, QPoint point) override;
  bool FieldCanUndo(const NumericEdit& field) const override;
  bool FieldCanRedo(const NumericEdit& field) const override;

  // Runs `job` now, or after the job that is running when it arrives; jobs run one at a time,
  // in the order they arrived.
  void RunExclusive(std::function<void()> job);
  int IndexOf(const NumericEdit& field) const;

  // The edits of a numeric field; each builds the field's candidate text and hands it to Commit.
  void ProcessKey(int index, QKeyEvent& event);
  void ProcessOtherKey(int index, QKeyEvent& event);
  void BeginEdit(int index);
  void PasteClipboard(int index, QClipboard::Mode mode, bool replaceSelection);
  Outcome Drop(int index, const QString& dropped, QPoint point);
  void Cut(int index);
  void DeleteForward(int index);
  void DeleteSelection(int index);
  void Undo(int index);
  void Redo(int index);
  QString CleanPasted(int index, const QString& pasted) const;

  // Checks the candidate text of numeric field `index`, converts it, writes it out and lets
  // the field take it; or refuses it with the beep.
  Outcome Commit(int index, const QString& candidate, int caret, HistoryStep step);
  QString Render(FieldId target, Currency value) const;
  void Write(FieldId target, const QString& text);
  QLineEdit& Widget(FieldId target) const;
  void Refuse();
  void SetLabel6Caption(const QString& caption);

  // Redraws Text6 from Text6Raw: dark blue, each pair of bars one red bar.
  void Text6RawChange();

  platform::Beeper& beeper_;

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
  std::unique_ptr<AboutWindowHost> about_;
  QTreeWidget* ListView1 = nullptr;
  QPushButton* Command2 = nullptr;

  std::array<NumericEdit*, 4> numeric_{};
  std::array<History, 4> history_{};
  std::unique_ptr<LineEditProbe> probe_;
  std::deque<std::function<void()>> pending_;
  bool running_ = false;

  int outerWidth_ = 0;  // twips
  QString programDirectory_;
};

}  // namespace tessaldo
