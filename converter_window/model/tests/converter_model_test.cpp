#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "tessaldo/conversion/code_page.h"
#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/currency.h"
#include "tessaldo/converter_window/converter_model.h"

namespace tessaldo {
namespace {

__extension__ typedef __int128 Wide;
using enum Field;
using Kind = Request::Kind;
constexpr std::int64_t kMax = 99'999'999'999'999;
const std::string kHint = "Esadecimale (solo MAIUSCOLE)";

Request Type(Field field, std::u16string text, Selection selection = {1000, 0, 0}) {
  return {.kind = Kind::kType, .field = field, .selection = selection, .text = std::move(text)};
}
Request Numeric(Kind kind, Field field, std::u16string text = {}, Selection selection = {}) {
  return {.kind = kind, .field = field, .selection = selection, .text = std::move(text)};
}
Request Pick(int code) {
  return {.kind = Kind::kPick, .token = std::string(CodePage::TokenOf(std::uint8_t(code)))};
}

std::vector<Field> Order(const Result& result) {
  std::vector<Field> order;
  for (const Write& write : result.writes) order.push_back(write.field);
  return order;
}

// Reads `text` in `base` with 128 bits; -1 for a character outside the base's digits.
Wide Read(const std::u16string& text, int base) {
  Wide value = 0;
  for (const char16_t c : text) {
    const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : 99;
    if (digit >= base) return -1;
    value = value * base + digit;
    if (value > (Wide(1) << 80)) value = Wide(1) << 80;
  }
  return value;
}

// The writes of each field, in order, and the emptying by Backspace and by Cancella.
TEST(ConverterModel, WritesTheOtherFieldsInTheirOrder) {
  const std::vector<std::pair<Field, std::vector<Field>>> orders = {
      {kText1, {kText2, kText3, kText4, kText6Raw, kText5, kText1}},
      {kText2, {kText1, kText4, kText3, kText6Raw, kText5, kText2}},
      {kText3, {kText1, kText2, kText4, kText6Raw, kText5, kText3}},
      {kText4, {kText1, kText2, kText3, kText6Raw, kText5, kText4}},
  };
  for (const auto& [field, order] : orders) {
    ConverterModel model;
    EXPECT_EQ(Order(model.Apply(Type(field, u"1"))), order);
    const Result emptied = model.Apply(Numeric(Kind::kBackspace, field, {}, {1, 0, 0}));
    std::vector<Field> expected;
    for (const Field f : {kText1, kText2, kText3, kText4, kText5}) {
      if (f != field) expected.push_back(f);
    }
    expected.push_back(kText6Raw);
    expected.push_back(field);
    EXPECT_EQ(Order(emptied), expected);
    EXPECT_EQ(model.Text(kText6Raw), "");
  }
  ConverterModel model;
  model.Apply(Pick(65));
  EXPECT_EQ(Order(model.Apply(Pick(66))),
            (std::vector{kText6Raw, kText1, kText2, kText3, kText4, kText5}));
  EXPECT_EQ(model.Text(kText1), "16706");
  model.Apply({.kind = Kind::kCancella});
  EXPECT_EQ(model.Text(kText6Raw), "|| A || ");
  EXPECT_EQ(Order(model.Apply({.kind = Kind::kCancella})),
            (std::vector{kText1, kText2, kText3, kText4, kText5, kText6Raw}));
  EXPECT_EQ(model.Apply({.kind = Kind::kCancella}).outcome, Outcome::kUnchanged);
}

// Edits built from the caret and the selection, the paste rules, and the hexadecimal hint.
TEST(ConverterModel, EditsFromCaretAndSelection) {
  const struct {
    Request setup, request;
    Outcome outcome;
    std::string text;  // the edited field afterwards
    int caret;
  } cases[] = {
      {Type(kText2, u"110"), Numeric(Kind::kBackspace, kText2, {}, {1, 0, 0}), Outcome::kAccepted,
       "10", 0},
      {Type(kText2, u"110"), Numeric(Kind::kBackspace, kText2, {}, {0, 0, 0}), Outcome::kUnchanged,
       "110", 0},
      {Type(kText2, u"110"), Numeric(Kind::kDelete, kText2, {}, {0, 0, 0}), Outcome::kAccepted,
       "10", 0},
      {Type(kText2, u"110"), Numeric(Kind::kDelete, kText2, {}, {3, 0, 0}), Outcome::kUnchanged,
       "110", 3},
      {Type(kText2, u"110"), Numeric(Kind::kDelete, kText2, {}, {3, 0, 2}), Outcome::kAccepted, "0",
       0},
      {Type(kText2, u"110"), Numeric(Kind::kCut, kText2, {}, {2, 1, 1}), Outcome::kAccepted, "10",
       1},
      {Type(kText2, u"110"), Numeric(Kind::kCut, kText2, {}, {2, 0, 0}), Outcome::kUnchanged, "110",
       -1},
      {Type(kText2, u"110"), Type(kText2, u"0", {3, 1, 2}), Outcome::kAccepted, "10", 2},
      {Type(kText2, u"110"), Type(kText2, u"1", {1, 0, 0}), Outcome::kAccepted, "1110", 2},
      {Type(kText2, u"110"), Type(kText2, u"1", {1, 1, 1}), Outcome::kUnchanged, "110", 2},
      {Type(kText1, u"12"), Numeric(Kind::kPaste, kText1, u" 3_4'\u2003", {1, 0, 0}),
       Outcome::kAccepted, "1342", 3},
      {Type(kText1, u"12"), Numeric(Kind::kPaste, kText1, u"0x1", {2, 0, 0}), Outcome::kRefused,
       "12", -1},
      {Type(kText1, u"12"), Numeric(Kind::kPaste, kText1, u"", {2, 0, 2}), Outcome::kAccepted, "",
       0},
      {Type(kText1, u"12"), Numeric(Kind::kPaste, kText1, u"", {2, 0, 0}), Outcome::kUnchanged,
       "12", -1},
      {Type(kText2, u"1"), Numeric(Kind::kPaste, kText2, u"0B 10", {1, 0, 0}), Outcome::kAccepted,
       "110", 3},
      {Type(kText3, u"1"), Numeric(Kind::kPaste, kText3, u"0o7", {0, 0, 0}), Outcome::kAccepted,
       "71", 1},
      {Type(kText4, u"1"), Numeric(Kind::kPaste, kText4, u"0X_7F", {1, 0, 0}), Outcome::kAccepted,
       "17F", 3},
      {Type(kText4, u"1"), Numeric(Kind::kPaste, kText4, u"0B12", {1, 0, 0}), Outcome::kAccepted,
       "10B12", 5},
      {Type(kText2, u"1"),
       {.kind = Kind::kInsert, .field = kText2, .text = u"0b_0", .position = 0},
       Outcome::kAccepted,
       "01",
       1},
      {Type(kText2, u"1"),
       {.kind = Kind::kReplace, .field = kText2, .text = u"12", .position = 2},
       Outcome::kRefused,
       "1",
       -1},
      {Type(kText1, u"99999999999999"), Type(kText1, u"9"), Outcome::kRefused, "99999999999999",
       -1},
      {Type(kText1, u"00000000000000"), Type(kText1, u"0"), Outcome::kRefused, "00000000000000",
       -1},
      {Type(kText1, u"99999999999999"), Type(kText1, u"1", {0, 0, 1}), Outcome::kAccepted,
       "19999999999999", 1},
      {Type(kText2, std::u16string(46, u'1')), Type(kText2, u"1"), Outcome::kRefused,
       std::string(46, '1'), -1},
      {Type(kText2, std::u16string(46, u'1')), Type(kText2, u"0", {0, 0, 0}), Outcome::kAccepted,
       "0" + std::string(46, '1'), 1},
      {Type(kText4, u"3479CC71BB27"), Type(kText4, u"0"), Outcome::kRefused, "3479CC71BB27", -1},
      {Type(kText4, u"1"), Numeric(Kind::kPaste, kText4, std::u16string(20, u'F'), {1, 0, 0}),
       Outcome::kRefused, "1", -1},
  };
  for (const auto& c : cases) {
    ConverterModel model;
    model.Apply(c.setup);
    const std::string before = model.Text(kText6Raw);
    const Result result = model.Apply(c.request);
    SCOPED_TRACE(c.text);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(model.Text(c.request.field), c.text);
    EXPECT_EQ(result.caret, c.caret);
    if (c.outcome != Outcome::kAccepted) EXPECT_EQ(model.Text(kText6Raw), before);
  }

  ConverterModel model;
  EXPECT_EQ(model.Apply(Type(kText4, u"f")).outcome, Outcome::kRefused);
  EXPECT_EQ(model.Text(kLabel6), kHint);
  model.Apply(Type(kText4, u"G"));  // the next key, refused or not, takes the hint back
  EXPECT_EQ(model.Text(kLabel6), "Esadecimale");
  model.Apply(Type(kText2, u"x"));
  model.Apply(Numeric(Kind::kPaste, kText4, u"0xff"));
  EXPECT_EQ(model.Text(kLabel6), kHint);
  model.Apply(Type(kText1, u"a"));
  EXPECT_EQ(model.Text(kLabel6), kHint);
}

TEST(ConverterModel, UndoAndRedoReplayThroughTheConversion) {
  ConverterModel model;
  for (const char16_t* key : {u"1", u"2", u"3"}) model.Apply(Type(kText1, key));
  EXPECT_FALSE(model.CanRedo(kText1));
  EXPECT_EQ(model.Apply(Numeric(Kind::kUndo, kText1)).caret, 2);
  EXPECT_EQ(model.Text(kText2), "1100");
  model.Apply(Numeric(Kind::kUndo, kText1));
  model.Apply(Numeric(Kind::kRedo, kText1));
  EXPECT_EQ(model.Text(kText1), "12");
  EXPECT_TRUE(model.CanRedo(kText1));
  model.Apply(Type(kText1, u"7"));  // a new edit drops what could be redone
  EXPECT_FALSE(model.CanRedo(kText1));
  EXPECT_EQ(model.Apply(Numeric(Kind::kRedo, kText1)).outcome, Outcome::kUnchanged);
  EXPECT_FALSE(model.CanUndo(kText2));
  model.Apply(Type(kText2, u"1"));  // a write by another field starts Text1's history afresh
  EXPECT_FALSE(model.CanUndo(kText1));
  EXPECT_TRUE(model.CanUndo(kText2));
  EXPECT_EQ(model.Apply(Numeric(Kind::kUndo, kText1)).outcome, Outcome::kUnchanged);
  model.Apply(Numeric(Kind::kUndo, kText2));
  EXPECT_EQ(model.Text(kText1), "127");
  for (int i = 0; i < 1200; ++i) model.Apply(Type(kText3, i % 2 ? u"1" : u"2", {0, 0, 1}));
  int undos = 0;
  while (model.CanUndo(kText3)) undos += (model.Apply(Numeric(Kind::kUndo, kText3)), 1);
  EXPECT_EQ(undos, 999);  // the history keeps the last thousand texts
}

// Picks: seven are held while the first is NUL, six otherwise; a refused pick changes nothing.
TEST(ConverterModel, PicksHoldTheLimit) {
  for (const int first : {0, 1}) {
    ConverterModel model;
    EXPECT_EQ(model.Apply(Pick(first)).outcome, Outcome::kAccepted);
    int taken = 1;
    while (model.Apply(Pick(1)).outcome == Outcome::kAccepted) ++taken;
    EXPECT_EQ(taken, first == 0 ? 7 : 6);
    EXPECT_EQ(model.CaratteriScelti().size(), std::size_t(taken));
  }
  ConverterModel model;
  model.Apply(Type(kText1, u"5"));
  model.Apply(Pick(124));
  EXPECT_EQ(model.Text(kText6Raw), "|| | || ");
  EXPECT_EQ(model.Text(kText5), "CXXIV");
  model.Apply(Pick(32));
  EXPECT_EQ(model.Text(kText5), "Conversione impossibile (>3999)");
  model.Apply(Type(kText2, u"1"));  // an accepted edit drops the picks
  EXPECT_TRUE(model.CaratteriScelti().empty());
  EXPECT_EQ(model.Apply({.kind = Kind::kCancella}).outcome, Outcome::kUnchanged);
  EXPECT_EQ(model.Apply({.kind = Kind::kPick, .token = "XYZ"}).outcome, Outcome::kRefused);
}

// The yield runs once per digit written; whatever it throws leaves the model as it was.
TEST(ConverterModel, AThrowingYieldLeavesEverythingAsItWas) {
  int calls = 0, throwAt = -1;
  auto yield = [&] {
    if (++calls == throwAt) throw std::runtime_error("interrupted");
  };
  ConverterModel model{YieldRef(yield)};
  model.Apply(Type(kText1, u"123"));
  EXPECT_GT(calls, 10);
  throwAt = calls + 5;
  const std::string binary = model.Text(kText2);
  EXPECT_THROW(model.Apply(Type(kText1, u"4")), std::runtime_error);
  EXPECT_EQ(model.Text(kText1), "123");
  EXPECT_EQ(model.Text(kText2), binary);
  EXPECT_EQ(model.Apply(Numeric(Kind::kUndo, kText1)).outcome, Outcome::kAccepted);
  EXPECT_EQ(model.Text(kText2), "");
}

// A million random requests: after each, the six fields hold one value within the limit (read
// back by the conversion routines), a refused or unchanged request changes nothing, the picked
// tokens are what Text6Raw shows, and keys and picks are taken exactly when an independent
// reading of their result stays within the limit.
TEST(ConverterModel, RandomRequestsKeepTheFieldsInStep) {
  std::mt19937_64 random(20261206);
  const std::u16string alphabet[] = {u"0",  u"1",  u"7",      u"8",      u"9", u"A",
                                     u"F",  u"f",  u"G",      u" ",      u"_", u"0x",
                                     u"0b", u"0o", u"\u2003", u"\u00e9", u"\r"};
  const int bases[] = {10, 2, 8, 16};
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  ConverterModel model;
  std::vector<int> codes;  // the picks, as the oracle holds them
  long accepted = 0, refused = 0, picks = 0;
  for (int i = 0; i < 1'000'000; ++i) {
    const Field field = Field(pick(4));
    const int size = int(model.Text(field).size());
    Request request;
    int code = -1;
    const int kind = pick(20);
    if (kind < 3) {
      code = pick(3) ? pick(3) : pick(256);
      request = Pick(code);
    } else if (kind < 4) {
      request = {.kind = Kind::kCancella};
    } else {
      request.kind = kind < 12 ? Kind::kType : Kind(pick(int(Kind::kPick)));
      request.field = field;
      const int start = pick(size + 2);
      request.selection = pick(3) ? Selection{size, 0, 0} : Selection{start, start, pick(size + 1)};
      for (int n = pick(3) ? 1 : pick(4); n > 0; --n) request.text += alphabet[pick(17)];
      request.position = pick(size + 2);
    }
    const std::array<std::string, 6> before = {model.Text(kText1), model.Text(kText2),
                                               model.Text(kText3), model.Text(kText4),
                                               model.Text(kText5), model.Text(kText6Raw)};
    const std::vector<std::string> pickedBefore = model.CaratteriScelti();
    const Result result = model.Apply(request);
    const std::array<std::string, 6> after = {model.Text(kText1), model.Text(kText2),
                                              model.Text(kText3), model.Text(kText4),
                                              model.Text(kText5), model.Text(kText6Raw)};
    SCOPED_TRACE(i);

    // Keys and picks, predicted.
    std::optional<Outcome> predicted;
    if (request.kind == Kind::kType && request.selection.length == 0 &&
        request.selection.caret == size) {
      const std::u16string candidate =
          std::u16string(before[int(field)].begin(), before[int(field)].end()) + request.text;
      const Wide value = Read(candidate, bases[int(field)]);
      predicted = value >= 0 && value <= kMax && (field != kText1 || candidate.size() <= 14)
                      ? Outcome::kAccepted
                      : Outcome::kRefused;
      if (request.text.empty()) predicted = Outcome::kUnchanged;
      if (predicted == Outcome::kAccepted) {
        EXPECT_EQ(model.Text(field), std::string(candidate.begin(), candidate.end()));
      }
    } else if (request.kind == Kind::kPick) {
      codes.push_back(code);
      Wide value = 0;
      for (const int c : codes) value = value * 256 + c;
      predicted = value <= kMax ? Outcome::kAccepted : Outcome::kRefused;
      if (predicted != Outcome::kAccepted) codes.pop_back();
      ++picks;
    } else if (request.kind == Kind::kCancella) {
      predicted = codes.empty() ? Outcome::kUnchanged : Outcome::kAccepted;
      if (!codes.empty()) codes.pop_back();
    }
    if (predicted) {
      ASSERT_EQ(result.outcome, *predicted);
    }
    if (result.outcome != Outcome::kAccepted) {
      ASSERT_EQ(after, before);
      ASSERT_EQ(model.CaratteriScelti(), pickedBefore);
    }
    result.outcome == Outcome::kAccepted  ? ++accepted
    : result.outcome == Outcome::kRefused ? ++refused
                                          : 0;
    if (result.outcome == Outcome::kAccepted && request.kind != Kind::kPick &&
        request.kind != Kind::kCancella) {
      codes.clear();
    }
    ASSERT_EQ(model.CaratteriScelti().size(), codes.size());

    // One value in every field.
    if (after[5].empty()) {
      for (const std::string& text : after) ASSERT_EQ(text, "");
      continue;
    }
    const auto value = Conversioni::Utf8ADecimale(after[5]);
    ASSERT_TRUE(value.has_value());
    ASSERT_LE(value->Whole(), kMax);
    ASSERT_EQ(Currency::FromDecimalText(after[0]), value);
    ASSERT_EQ(Conversioni::BinarioADecimale(after[1]), value);
    ASSERT_EQ(Conversioni::OttaleADecimale(after[2]), value);
    ASSERT_EQ(Conversioni::EsadecimaleADecimale(after[3]), value);
    if (value->Whole() > 3999) {
      ASSERT_EQ(after[4], "Conversione impossibile (>3999)");
    } else {
      ASSERT_EQ(after[4], Conversioni::DecimaleARomano(std::int16_t(value->Whole())).value());
    }
    if (!codes.empty()) {
      std::string notation = "|| ";
      for (const int c : codes)
        notation += std::string(CodePage::TokenOf(std::uint8_t(c))) + " || ";
      ASSERT_EQ(after[5], notation);
    }
  }
  EXPECT_GT(accepted, 200'000);
  EXPECT_GT(refused, 100'000);
  EXPECT_GT(picks, 100'000);
}

}  // namespace
}  // namespace tessaldo
