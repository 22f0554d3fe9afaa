// Random edits over the four numeric fields, picks from the character table (double-clicks and
// Enter on random rows), "Cancella" and the panel toggle, each checked against a model of the
// window written here: the candidate each edit makes, whether it is taken, what every field then
// shows, the beeps, the hint, the picked characters, the undo history and the window's width.

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "harness.h"
#include "tessaldo/conversion/code_page.h"

namespace tessaldo::testing {
namespace {

constexpr std::uint64_t kSeed = 0x7E55A1D0;
constexpr int kActions = 100'000;
constexpr std::uint64_t kLargest = 99'999'999'999'999;

const QString kHexCaption = QStringLiteral("Esadecimale");
const QString kHexHint = QStringLiteral("Esadecimale (solo MAIUSCOLE)");

// --- Oracle: the number in every notation, computed independently of the window.

QString Digits(std::uint64_t value, int base) {
  QString text;
  for (; value != 0; value /= base) text.prepend(QLatin1Char("0123456789ABCDEF"[value % base]));
  return text;
}

QString Roman(std::uint64_t value) {
  if (value > 3999) return QStringLiteral("Conversione impossibile (>3999)");
  static const std::pair<int, const char*> kSymbols[] = {
      {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
      {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
  QString text;
  for (const auto& [worth, symbol] : kSymbols) {
    for (; value >= static_cast<std::uint64_t>(worth); value -= worth) text += symbol;
  }
  return text;
}

QString Token(int code) {
  const std::string_view token = CodePage::TokenOf(static_cast<std::uint8_t>(code));
  return QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size()));
}

QStringList Tokens(const std::vector<int>& rows) {
  QStringList tokens;
  for (const int row : rows) tokens.append(Token(row));
  return tokens;
}

QString Joined(const QStringList& tokens) {
  QString text = QStringLiteral("|| ");
  for (const QString& token : tokens) text += token + QStringLiteral(" || ");
  return text;
}

QString Notation(std::uint64_t value) {
  QStringList tokens;
  for (; value != 0; value /= 256) tokens.prepend(Token(static_cast<int>(value % 256)));
  return Joined(tokens);
}

// The value of picked rows, first most significant, or nothing beyond the limit.
std::optional<std::uint64_t> ValueOfRows(const std::vector<int>& rows) {
  std::uint64_t value = 0;
  for (const int row : rows) {
    value = value * 256 + static_cast<std::uint64_t>(row);
    if (value > kLargest) return std::nullopt;
  }
  return value;
}

// Text6 as the display rule draws Text6Raw: each "||" one red bar, the rest dark blue.
Shown Display(const QString& raw) {
  Shown shown;
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const bool pair = raw[i] == u'|' && i + 1 < raw.size() && raw[i + 1] == u'|';
    shown.text += raw[i];
    shown.colours += pair ? u'R' : u'B';
    if (pair) ++i;
  }
  return shown;
}

struct FieldKind {
  int base;
  QString alphabet;
  QString prefix;
};
const FieldKind kKinds[] = {
    {10, "0123456789", ""}, {2, "01", "0b"}, {8, "01234567", "0o"}, {16, "0123456789ABCDEF", "0x"}};

// The value of a text the field would take, or nothing when the field refuses it.
std::optional<std::uint64_t> Accepted(int field, const QString& text) {
  const FieldKind& kind = kKinds[field];
  if (field == 0 && text.size() > 14) return std::nullopt;
  std::uint64_t value = 0;
  for (const QChar c : text) {
    const qsizetype digit = kind.alphabet.indexOf(c);
    if (digit < 0) return std::nullopt;
    value = value * kind.base + static_cast<std::uint64_t>(digit);
    if (value > kLargest) return std::nullopt;
  }
  return value;
}

Fields Everywhere(int field, const QString& text, std::uint64_t value) {
  Fields fields{QString::number(value), Digits(value, 2), Digits(value, 8),
                Digits(value, 16),      Roman(value),     Notation(value)};
  fields[field] = text;
  return fields;
}

struct Edit {
  QString text;
  int caret;
};

struct ModelHistory {
  std::vector<Edit> entries{Edit{"", 0}};
  std::size_t at = 0;
};

class Form1ModelTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    for (int i = 0; i < 4; ++i) fields_[i] = &Text(i + 1);
  }

  // Predicts and performs one random action.
  void Step();

  Fields expected_{};
  std::array<ModelHistory, 4> history_{};
  std::size_t beeps_ = 0;
  QString caption_ = kHexCaption;
  std::vector<int> pickedRows_;  // the rows behind CaratteriScelti, oldest first
  bool panelOpen_ = false;
  int burst_ = 0;  // guided actions still to come in a row
  std::array<QLineEdit*, 4> fields_{};
  std::mt19937_64 random_{kSeed};

  struct {
    int picked = 0, pickRefused = 0, seventhAfterNul = 0, deleted = 0, toggled = 0;
  } counts_;

  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

 private:
  enum class Kind { kRecord, kUndo, kRedo };
  // The window's rule for a candidate text; returns false when it is refused.
  bool Apply(int field, const Edit& candidate, Kind step);
  QString RandomPaste(int field);
  void FieldStep();
  void GuidedStep();
  // The window's rule for a pick of `row` and for "Cancella".
  void ApplyPick(int row);
  void ApplyCancella();
  void ShowRows(const std::vector<int>& rows);
  void CheckWindow();
};

bool Form1ModelTest::Apply(int field, const Edit& candidate, Kind step) {
  ModelHistory& history = history_[field];
  if (candidate.text == expected_[field]) {
    if (step == Kind::kUndo) --history.at;
    if (step == Kind::kRedo) ++history.at;
    return true;
  }
  const std::optional<std::uint64_t> value = Accepted(field, candidate.text);
  if (!value && !candidate.text.isEmpty()) {
    ++beeps_;
    const bool lowerHex = std::any_of(candidate.text.begin(), candidate.text.end(),
                                      [](QChar c) { return c >= u'a' && c <= u'f'; });
    if (field == 3 && lowerHex) caption_ = kHexHint;
    return false;
  }
  expected_ = candidate.text.isEmpty() ? Fields{} : Everywhere(field, candidate.text, *value);
  for (int other = 0; other < 4; ++other) {
    if (other != field)
      history_[other] =
          ModelHistory{{Edit{expected_[other], static_cast<int>(expected_[other].size())}}, 0};
  }
  if (step == Kind::kRecord) {
    history.entries.resize(history.at + 1);
    history.entries.push_back(candidate);
    if (history.entries.size() > 1000) history.entries.erase(history.entries.begin());
    history.at = history.entries.size() - 1;
  } else {
    history.at += step == Kind::kRedo ? 1 : -1;
  }
  pickedRows_.clear();
  return true;
}

// Every field takes the picked rows' value; the window's writes start each field's history
// afresh.
void Form1ModelTest::ShowRows(const std::vector<int>& rows) {
  pickedRows_ = rows;
  expected_ = Fields{};
  if (!rows.empty()) {
    const std::uint64_t value = *ValueOfRows(rows);
    expected_ = Everywhere(0, QString::number(value), value);
    expected_[5] = Joined(Tokens(rows));
  }
  for (int field = 0; field < 4; ++field) {
    history_[field] =
        ModelHistory{{Edit{expected_[field], static_cast<int>(expected_[field].size())}}, 0};
  }
}

void Form1ModelTest::ApplyPick(int row) {
  std::vector<int> rows = pickedRows_;
  rows.push_back(row);
  if (!ValueOfRows(rows)) {
    ++beeps_;
    ++counts_.pickRefused;
    return;
  }
  ++counts_.picked;
  if (rows.size() == 7) ++counts_.seventhAfterNul;
  ShowRows(rows);
}

void Form1ModelTest::ApplyCancella() {
  if (pickedRows_.empty()) return;
  ++counts_.deleted;
  std::vector<int> rows = pickedRows_;
  rows.pop_back();
  ShowRows(rows);
}

// Double-clicks and Enter on random rows ("NUL" often, so that seven picks happen), clicks on
// "Cancella" and on the arrow. The mouse reaches the table and "Cancella" only while the panel
// is open, and opens it first when it is not; Enter reaches the table either way.
void Form1ModelTest::GuidedStep() {
  const int roll = Pick(100);
  const int row = Pick(10) == 0 ? 0 : Pick(256);
  const bool mouse = roll < 55 || (roll >= 75 && roll < 97);
  if (mouse && !panelOpen_) {
    Click("Image2");
    panelOpen_ = true;
    ++counts_.toggled;
  }
  if (roll < 55) {
    DoubleClickRow(row);
    ApplyPick(row);
  } else if (roll < 75) {
    if (Pick(10) == 0) {
      ListView1().clearSelection();
      QTest::keyClick(&ListView1(), Qt::Key_Return);
    } else {
      EnterOnRow(row, Pick(2) ? Qt::Key_Return : Qt::Key_Enter);
      ApplyPick(row);
    }
  } else if (roll < 97) {
    Click("Command2");
    ApplyCancella();
  } else {
    Click("Image2");
    panelOpen_ = !panelOpen_;
    ++counts_.toggled;
  }
}

void Form1ModelTest::Step() {
  // Now and then a run of guided actions, long enough to build the longest lists.
  if (burst_ == 0 && Pick(1000) < 25) burst_ = 1 + Pick(16);
  if (burst_ > 0) {
    --burst_;
    GuidedStep();
  } else {
    FieldStep();
  }
  if (!HasFatalFailure()) CheckWindow();
}

void Form1ModelTest::CheckWindow() {
  ASSERT_EQ(Texts(), expected_);
  ASSERT_EQ(Beeps(), beeps_);
  ASSERT_EQ(Label6().text(), caption_);
  ASSERT_EQ(form->CaratteriScelti, Tokens(pickedRows_));
  // While tokens are picked, the base-256 field holds exactly their notation.
  if (!form->CaratteriScelti.isEmpty()) {
    ASSERT_EQ(Text(6).text(), Joined(form->CaratteriScelti));
  }
  const Shown shown = ShownText(Text6());
  const Shown display = Display(expected_[5]);
  ASSERT_EQ(shown.text, display.text);
  ASSERT_EQ(shown.colours, display.colours);
  // Nothing beyond the limit, in any field.
  ASSERT_LE(Text(1).text().size(), 14);
  ASSERT_LE(Text(1).text().toULongLong(), kLargest);
  ASSERT_EQ(form->OuterWidth(), panelOpen_ ? 7185 : 4030);
}

QString Form1ModelTest::RandomPaste(int field) {
  static const QString kNoise = QStringLiteral(" _'\t-xZg.abcdef9");
  const FieldKind& kind = kKinds[field];
  QString text;
  if (Pick(4) == 0) text += Pick(2) ? kind.prefix : kind.prefix.toUpper();
  const int length = Pick(9);
  for (int i = 0; i < length; ++i) {
    text += Pick(6) == 0 ? kNoise[Pick(kNoise.size())] : kind.alphabet[Pick(kind.alphabet.size())];
  }
  return text;
}

void Form1ModelTest::FieldStep() {
  const int index = Pick(4);
  QLineEdit& field = *fields_[index];
  const QString text = field.text();
  const int cursor = field.cursorPosition();
  const bool selected = field.hasSelectedText();
  const int selStart = selected ? field.selectionStart() : cursor;
  const int selLength = selected ? field.selectionLength() : 0;
  auto replaced = [&](const QString& inserted) {
    QString result = text;
    result.replace(selStart, selLength, inserted);
    return Edit{result, selStart + static_cast<int>(inserted.size())};
  };
  auto removed = [&](int from, int count) {
    QString result = text;
    result.remove(from, count);
    return Edit{result, from};
  };
  auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (index == 3) caption_ = kHexCaption;
    QTest::keyClick(&field, k, modifiers);
  };
  auto standard = [&](QKeySequence::StandardKey k) {
    const QKeyCombination combination = QKeySequence::keyBindings(k).front()[0];
    key(combination.key(), combination.keyboardModifiers());
  };

  std::optional<Edit> taken;  // the edit, unless the window refused it
  const int roll = Pick(97);
  if (roll < 40) {
    static const QString kKeys = QStringLiteral("0123456789ABCDEF0101010101abcdefgG xz-+.,");
    const QChar typed = kKeys[Pick(kKeys.size())];
    if (index == 3) caption_ = kHexCaption;
    const Edit candidate = replaced(QString(typed));
    QTest::keyClick(&field, typed.toLatin1());
    if (Apply(index, candidate, Kind::kRecord)) taken = candidate;
  } else if (roll < 50) {
    const Edit candidate = selected     ? removed(selStart, selLength)
                           : cursor > 0 ? removed(cursor - 1, 1)
                                        : Edit{text, cursor};
    key(Qt::Key_Backspace);
    if (Apply(index, candidate, Kind::kRecord)) taken = candidate;
  } else if (roll < 55) {
    const Edit candidate = selected ? removed(selStart, selLength) : removed(cursor, 1);
    key(Qt::Key_Delete);
    if (Apply(index, candidate, Kind::kRecord)) taken = candidate;
  } else if (roll < 63) {
    static const Qt::Key kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
    key(kMoves[Pick(4)], Pick(2) ? Qt::ShiftModifier : Qt::NoModifier);
  } else if (roll < 68) {
    const int start = Pick(static_cast<int>(text.size()) + 1);
    const int length = Pick(static_cast<int>(text.size()) + 1) - start;
    field.setSelection(start, length);
  } else if (roll < 73) {
    standard(QKeySequence::Cut);
    if (selected) {
      EXPECT_EQ(QGuiApplication::clipboard()->text(), text.mid(selStart, selLength));
      const Edit candidate = removed(selStart, selLength);
      if (Apply(index, candidate, Kind::kRecord)) taken = candidate;
    }
  } else if (roll < 76) {
    standard(Pick(2) ? QKeySequence::Copy : QKeySequence::SelectAll);
  } else if (roll < 86) {
    const QString pasted = RandomPaste(index);
    QGuiApplication::clipboard()->setText(pasted);
    QString cleaned;
    for (const QChar c : pasted) {
      if (!c.isSpace() && c != u'_' && c != u'\'') cleaned += c;
    }
    const QString& prefix = kKinds[index].prefix;
    if (!prefix.isEmpty() && cleaned.startsWith(prefix, Qt::CaseInsensitive)) cleaned.remove(0, 2);
    standard(QKeySequence::Paste);
    if (!pasted.isEmpty() || selected) {
      const Edit candidate = replaced(cleaned);
      if (Apply(index, candidate, Kind::kRecord)) taken = candidate;
    }
  } else if (roll < 93) {
    const ModelHistory& history = history_[index];
    const std::optional<Edit> previous =
        history.at > 0 ? std::optional(history.entries[history.at - 1]) : std::nullopt;
    standard(QKeySequence::Undo);
    if (previous && Apply(index, *previous, Kind::kUndo)) taken = previous;
  } else if (roll < 97) {
    const ModelHistory& history = history_[index];
    const std::optional<Edit> next = history.at + 1 < history.entries.size()
                                         ? std::optional(history.entries[history.at + 1])
                                         : std::nullopt;
    standard(QKeySequence::Redo);
    if (next && Apply(index, *next, Kind::kRedo)) taken = next;
  }

  ASSERT_EQ(Texts(), expected_);
  if (taken) {
    ASSERT_EQ(field.cursorPosition(), taken->caret);
    ASSERT_FALSE(field.hasSelectedText());
  }
}

TEST_F(Form1ModelTest, RandomEditsKeepEveryFieldInStep) {
  int accepted = 0;
  int emptied = 0;
  for (int action = 0; action < kActions; ++action) {
    const Fields before = expected_;
    Step();
    if (HasFatalFailure()) {
      ADD_FAILURE() << "at action " << action;
      return;
    }
    if (expected_ != before) ++accepted;
    if (expected_ == Fields{} && before != Fields{}) ++emptied;
  }
  // The actions reached both the accepted and the refused paths, and the limit.
  EXPECT_GT(accepted, kActions / 10);
  EXPECT_GT(beeps_, static_cast<std::size_t>(kActions / 20));
  EXPECT_GT(emptied, 100);
  // Picks were taken and refused, seven of them held a number, and "Cancella" emptied the list.
  EXPECT_GT(counts_.picked, kActions / 20);
  EXPECT_GT(counts_.pickRefused, 500);
  EXPECT_GT(counts_.seventhAfterNul, 20);
  EXPECT_GT(counts_.deleted, kActions / 50);
  EXPECT_GT(counts_.toggled, 100);
}

}  // namespace
}  // namespace tessaldo::testing
