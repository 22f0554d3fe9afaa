#include <gtest/gtest.h>

#include <charconv>
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
using K = Request::Kind;
constexpr std::int64_t kMax = 99'999'999'999'999;

// An edit of `field`, the caret at `caret` (the end by default), `length` selected from `start`.
Request Ask(K kind, Field field, std::u16string text = {}, int caret = 99, int start = 0,
            int length = 0) {
  Request request = Request::Of(kind, std::move(text), caret);
  request.field = field;
  request.selection = {caret, length ? start : caret, length};
  return request;
}
std::array<std::string, 6> Texts(const ConverterModel& model) {
  std::array<std::string, 6> texts;
  for (int f = 0; f < 6; ++f) texts[f] = model.Text(Field(f));
  return texts;
}

// Edits from the caret and the selection, the paste rules, the limits of the field's length.
TEST(ConverterModel, EditsFromCaretAndSelection) {
  constexpr Outcome A = Outcome::kAccepted, R = Outcome::kRefused, U = Outcome::kUnchanged;
  const std::u16string most(kMaxFieldLength - 1, u'0');
  const struct {
    Field field;
    std::u16string typed;  // what the field holds first
    K kind;
    std::u16string text;
    int caret, start, length;
    Outcome outcome;
    std::u16string after;  // the edited field afterwards
    int caretAfter;
  } cases[] = {
      // clang-format off
      {kText2, u"110", K::kBackspace, u"", 0, 0, 0, U, u"110", 0},
      {kText2, u"100", K::kBackspace, u"", 0, 0, 1, A, u"00", 0},
      {kText2, u"110", K::kDelete, u"", 2, 1, 1, A, u"10", 1},
      {kText2, u"110", K::kDelete, u"", 0, 0, 0, A, u"10", 0},
      {kText2, u"110", K::kDelete, u"", 3, 0, 0, U, u"110", 3},
      {kText2, u"110", K::kDelete, u"", 3, 0, 2, A, u"0", 0},
      {kText2, u"110", K::kCut, u"", 2, 0, 0, U, u"110", -1},
      {kText2, u"110", K::kType, u"0", 3, 1, 2, A, u"10", 2},
      {kText2, u"110", K::kType, u"1", 1, 0, 0, A, u"1110", 2},
      {kText2, u"110", K::kType, u"1", 1, 1, 1, U, u"110", 2},
      {kText1, u"12", K::kPaste, u" 3_4'\u2003", 1, 0, 0, A, u"1342", 3},
      {kText1, u"", K::kPaste, u"\t\r\u00852\u00a0\u1680\u2000\u200a\u2028\u2029\u202f\u205f\u3000", 0, 0, 0, A, u"2", 1},
      {kText1, u"12", K::kPaste, u"", 2, 0, 2, A, u"", 0},
      {kText1, u"12", K::kPaste, u"", 2, 0, 0, U, u"12", -1},
      {kText2, u"1", K::kPaste, u"0B 10", 1, 0, 0, A, u"110", 3},
      {kText3, u"1", K::kPaste, u"0o7", 0, 0, 0, A, u"71", 1},
      {kText4, u"1", K::kPaste, u"0X_7f", 1, 0, 0, A, u"17F", 3},
      {kText4, u"1", K::kPaste, u"0B12", 1, 0, 0, A, u"10B12", 5},
      // Thousands dots in the decimal field: groups of three after one of one to three.
      {kText1, u"", K::kPaste, u"1.234.567", 0, 0, 0, A, u"1234567", 7},
      {kText1, u"", K::kInsert, u"123.456", 0, 0, 0, A, u"123456", 6},
      {kText1, u"", K::kPaste, u"1.23", 0, 0, 0, R, u"", -1},
      {kText1, u"", K::kPaste, u"12.34.567", 0, 0, 0, R, u"", -1},
      {kText1, u"", K::kPaste, u"1234.567", 0, 0, 0, R, u"", -1},
      {kText1, u"", K::kPaste, u".123", 0, 0, 0, R, u"", -1},
      // At most kMaxFieldLength characters: the text as it comes, and the field it would make.
      {kText2, u"1", K::kInsert, most + u"0", 0, 0, 0, R, u"1", -1},
      {kText4, u"1", K::kReplace, most + u"0", 0, 0, 0, A, most + u"0", 0},
      {kText2, u"1", K::kReplace, most + u"00", 0, 0, 0, R, u"1", -1},
      {kText2, u"1", K::kPaste, std::u16string(100'000, u' ') + u"1", 0, 0, 0, R, u"1", -1},
      // clang-format on
  };
  for (const auto& c : cases) {
    ConverterModel model;
    model.Apply(Ask(K::kType, c.field, c.typed));
    const Result result = model.Apply(Ask(c.kind, c.field, c.text, c.caret, c.start, c.length));
    EXPECT_EQ(result.outcome, c.outcome) << int(c.kind) << ' ' << c.text.size();
    EXPECT_EQ(model.Text(c.field), std::string(c.after.begin(), c.after.end()));
    EXPECT_EQ(result.caret, c.caretAfter);
  }
}

// Undo and redo replay through the conversion. The yield runs once per digit written; whatever
// it throws leaves the model, and its history, as they were.
TEST(ConverterModel, UndoRedoAndAThrowingYield) {
  int calls = 0, throwAt = -1;
  auto yield = [&] {
    if (++calls == throwAt) throw std::runtime_error("interrupted");
  };
  ConverterModel model{YieldRef(yield)};
  for (const char16_t* key : {u"1", u"2", u"3"}) model.Apply(Ask(K::kType, kText1, key));
  EXPECT_EQ(calls, 4 + 8 + 13);  // the digits of 1, 12 and 123 in bases 2, 8, 16 and 256
  throwAt = calls + 5;
  EXPECT_THROW(model.Apply(Ask(K::kType, kText1, u"4")), std::runtime_error);
  EXPECT_EQ(model.Text(kText1) + model.Text(kText2), "1231111011");
  EXPECT_EQ(model.Apply(Ask(K::kUndo, kText1)).caret, 2);
  model.Apply(Ask(K::kRedo, kText1)), model.Apply(Ask(K::kUndo, kText1));
  EXPECT_TRUE(model.Text(kText1) == "12" && model.CanRedo(kText1));
  model.Apply(Ask(K::kType, kText1, u"7"));  // a new edit drops what could be redone
  EXPECT_FALSE(model.CanRedo(kText1));
  model.Apply(Ask(K::kType, kText2, u"1"));  // a write by another field starts the history afresh
  EXPECT_TRUE(model.CanUndo(kText2) && !model.CanUndo(kText1) && !model.CanRedo(kText1));
  EXPECT_FALSE(model.CanUndo(kText5) || model.CanRedo(kText5));
  EXPECT_EQ(model.Apply(Ask(K::kUndo, kText1)).outcome, Outcome::kUnchanged);
  model.Apply(Ask(K::kUndo, kText2));
  EXPECT_EQ(model.Text(kText1), "127");
  // Many long edits: the oldest entries go, so that the history keeps to its bytes.
  const std::u16string zeros(kMaxFieldLength - 1, u'0');
  for (int i = 0; i < 1000; ++i) model.Apply(Ask(K::kReplace, kText3, zeros + u"01"[i % 2]));
  int undos = 0;
  for (; model.CanUndo(kText3); ++undos) model.Apply(Ask(K::kUndo, kText3));
  EXPECT_EQ(model.Text(kText3).size(), std::size_t(kMaxFieldLength));
  EXPECT_TRUE(undos > 100 && undos * kMaxFieldLength <= 64 * 1024) << undos;
}

// Capital digits in `base` read by std::from_chars, beyond 64 bits as 2^64; -1 for any other.
Wide Read(const std::u16string& text, int base) {
  if (text.find_first_not_of(u"0123456789ABCDEF") != text.npos) return -1;
  const std::string s(text.begin(), text.end());
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (end != s.data() + s.size()) return -1;
  return error == std::errc::result_out_of_range ? Wide(1) << 64 : Wide(value);
}

// A million random requests: the fields hold one value within the limit, what is not accepted
// changes nothing, and a key at the end or a pick is taken exactly when a reading apart allows.
TEST(ConverterModel, RandomRequestsKeepTheFieldsInStep) {
  std::mt19937_64 random(20261206);
  const std::u16string alphabet[] = {u"0",  u"1",  u"7",      u"a",      u"9",  u"A",
                                     u"F",  u"f",  u"G",      u" ",      u"_",  u"0x",
                                     u"0b", u"0o", u"\u2003", u"\u00e9", u"\r", u"."};
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  ConverterModel model;
  std::vector<int> codes;  // the picks held, as the oracle counts them
  std::array<long, 3> outcomes{};
  for (int i = 0; i < 1'000'000; ++i) {
    const Field field = Field(pick(4));
    const int size = int(model.Text(field).size());
    const int kind = pick(20), code = pick(3) ? pick(3) : pick(256);
    Request request = kind < 3
                          ? Request::Picking(std::string(CodePage::TokenOf(std::uint8_t(code))))
                          : Request::Of(K::kCancella);
    if (kind >= 4) {
      std::u16string text;
      for (int n = pick(3) ? 1 : pick(4); n > 0; --n) text += alphabet[pick(18)];
      const int start = pick(size + 2);
      request = pick(3) ? Ask(kind < 12 ? K::kType : K(pick(int(K::kPick))), field, text, size)
                        : Ask(K(pick(int(K::kPick))), field, text, start, start, pick(size + 1));
    }
    const auto before = Texts(model);
    const std::string captionBefore = model.Text(kLabel6);
    const std::vector<std::string> pickedBefore = model.CaratteriScelti();
    const Result result = model.Apply(request);
    const auto after = Texts(model);

    std::optional<Outcome> expected;
    if (request.kind == K::kType && request.selection.length == 0 &&
        request.selection.caret == size) {
      const std::u16string candidate =
          std::u16string(before[int(field)].begin(), before[int(field)].end()) + request.text;
      const Wide value = Read(candidate, std::array{10, 2, 8, 16}[int(field)]);
      const bool within =
          value >= 0 && value <= kMax && (field != kText1 || candidate.size() <= 14);
      expected = request.text.empty() ? Outcome::kUnchanged
                 : within             ? Outcome::kAccepted
                                      : Outcome::kRefused;
      ASSERT_TRUE(!within || model.Text(field) == std::string(candidate.begin(), candidate.end()));
    } else if (request.kind == K::kPick) {
      Wide value = 0;
      for (const int c : codes) value = value * 256 + c;
      expected = value * 256 + code <= kMax ? Outcome::kAccepted : Outcome::kRefused;
      if (expected == Outcome::kAccepted) codes.push_back(code);
    } else if (request.kind == K::kCancella) {
      expected = codes.empty() ? Outcome::kUnchanged : Outcome::kAccepted;
      if (!codes.empty()) codes.pop_back();
    }
    const bool accepted = result.outcome == Outcome::kAccepted;
    if (accepted && request.kind != K::kPick && request.kind != K::kCancella) codes.clear();
    ASSERT_EQ(result.outcome, expected.value_or(result.outcome));
    ++outcomes[int(result.outcome)];
    ASSERT_TRUE(accepted || (after == before && model.CaratteriScelti() == pickedBefore));
    // The hint: after an edit of Text4 exactly when it refused a lower-case letter it was given.
    const K k = request.kind;
    const bool hint = result.outcome == Outcome::kRefused && (k == K::kType || k == K::kReplace) &&
                      request.text.find_first_of(u"abcdef") != std::u16string::npos;
    ASSERT_EQ(model.Text(kLabel6), request.field != kText4 || request.kind >= K::kPick
                                       ? captionBefore
                                   : hint ? "Esadecimale (solo MAIUSCOLE)"
                                          : "Esadecimale");

    ASSERT_TRUE(!after[5].empty() || after == decltype(after){});  // emptied: every field
    if (after[5].empty()) continue;
    const auto value = Conversioni::Utf8ADecimale(after[5]);
    ASSERT_TRUE(value.has_value() && value->Whole() <= kMax);
    ASSERT_EQ(Currency::FromDecimalText(after[0]), value);
    ASSERT_EQ(Conversioni::BinarioADecimale(after[1]), value);
    ASSERT_EQ(Conversioni::OttaleADecimale(after[2]), value);
    ASSERT_EQ(Conversioni::EsadecimaleADecimale(after[3]), value);
    ASSERT_EQ(after[4], value->Whole() > 3999
                            ? "Conversione impossibile (>3999)"
                            : *Conversioni::DecimaleARomano(std::int16_t(value->Whole())));
    std::string notation = "|| ";
    for (const int c : codes) notation += std::string(CodePage::TokenOf(std::uint8_t(c))) + " || ";
    ASSERT_TRUE(codes.empty() || after[5] == notation);
  }
  EXPECT_GT(outcomes[int(Outcome::kAccepted)], 200'000);
  EXPECT_GT(outcomes[int(Outcome::kRefused)], 100'000);
}

}  // namespace
}  // namespace tessaldo
