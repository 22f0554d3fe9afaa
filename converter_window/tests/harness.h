#pragma once

#include <gtest/gtest.h>

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QTextEdit>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tessaldo/converter_window/form1.h"
#include "tessaldo/platform/beeper.h"
#include "tessaldo/testing/qt_testing.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace tessaldo::testing {

// Records each tone instead of playing it.
class RecordingBeeper final : public platform::Beeper {
 public:
  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    tones.emplace_back(frequencyHz, durationMs);
  }
  std::vector<std::pair<unsigned, unsigned>> tones;
};

// Text6 as shown: its characters, and per character 'R' for the red of the bars, 'B' for the
// dark blue of the text, '?' for anything else.
struct Shown {
  QString text;
  QString colours;
};
Shown ShownText(const QTextEdit& box);

// The texts of Text1 to Text5 and Text6Raw.
using Fields = std::array<QString, 6>;

// A fresh window on screen for each test.
class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <class T>
  T& Control(const char* name) const {
    T* control = form->findChild<T*>(QLatin1String(name));
    if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *control;
  }
  // Text1 to Text5 by number; 6 is Text6Raw.
  QLineEdit& Text(int number) const;
  QTextEdit& Text6() const { return Control<QTextEdit>("Text6"); }
  QLabel& Label6() const { return Control<QLabel>("Label6"); }
  Fields Texts() const;
  std::size_t Beeps() const { return beeper.tones.size(); }
  // Empties the four numeric fields.
  void Clear();
  // The fields (1 to 5, and 6 for Text6Raw) written while `action` runs, in order.
  std::vector<int> WrittenDuring(const std::function<void()>& action);

  void Type(QLineEdit& field, const QString& keys);
  void Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Presses the platform's first binding of a standard shortcut.
  void Press(QWidget& widget, QKeySequence::StandardKey key);
  // Opens the field's context menu and triggers the entry with the object name `entry`.
  bool TriggerContextMenu(QLineEdit& field, const char* entry);
  // Drags `text` onto the field and drops it at `position`; returns whether the drop was taken.
  bool Drop(QLineEdit& field, const QString& text, QPoint position);

  QTreeWidget& ListView1() const { return Control<QTreeWidget>("ListView1"); }
  // The point of the window over `at` in `control`; throws where the window shows nothing.
  QPoint WindowPoint(const QWidget& control, QPoint at) const;
  // A double-click through the window system on the middle of the row of `code`, scrolled into
  // view first. The panel must be open.
  void DoubleClickRow(int code);
  void PickRows(std::initializer_list<int> codes);
  // Selects the row of `code` and presses `key` on the table.
  void EnterOnRow(int code, Qt::Key key = Qt::Key_Return);
  // A click through the window system on the middle of the control.
  void Click(const char* name);
  // Clicks Image2 when the panel is closed.
  void OpenPanel();

  RecordingBeeper beeper;
  std::unique_ptr<Form1> form;
};

}  // namespace tessaldo::testing
