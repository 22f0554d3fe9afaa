#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <random>
#include <regex>
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

// An edit of `field` with the caret at `caret` (the end by default) and `length` characters
// selected from `start`.
Request Ask(K kind, Field field, std::u16string text = {}, int caret = 99, int start = 0,
            int length = 0) {
  Request request = Request::Of(kind, std::move(text), caret);
  request.field = field;
  request.selection = {caret, length ? start : caret, length};
  return request;
}
Request Pick(int code) {
  return Request::Picking(std::string(CodePage::TokenOf(std::uint8_t(code))));
}
std::u16string Widen(std::string_view ascii) {
  return {ascii.begin(), ascii.end()};
}
std::array<std::string, 6> Texts(const ConverterModel& model) {
  std::array<std::string, 6> texts;
  for (int f = 0; f < 6; ++f) texts[f] = model.Text(Field(f));
  return texts;
}
std::string Narrow(const std::u16string& ascii) {
  return {ascii.begin(), ascii.end()};
}

// Edits from the caret and the selection, the paste rules, the limits and the hexadecimal hint.
TEST(ConverterModel, EditsFromCaretAndSelection) {
  constexpr Outcome A = Outcome::kAccepted, R = Outcome::kRefused, U = Outcome::kUnchanged;
  const std::u16string ones(46, u'1'), nines(14, u'9'), zeros(14, u'0');
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
      {kText2, u"110", K::kBackspace, u"", 1, 0, 0, A, u"10", 0},
      {kText2, u"110", K::kBackspace, u"", 0, 0, 0, U, u"110", 0},
      {kText2, u"100", K::kBackspace, u"", 0, 0, 1, A, u"00", 0},
      {kText2, u"110", K::kDelete, u"", 2, 1, 1, A, u"10", 1},
      {kText2, u"110", K::kDelete, u"", 0, 0, 0, A, u"10", 0},
      {kText2, u"110", K::kDelete, u"", 3, 0, 0, U, u"110", 3},
      {kText2, u"110", K::kDelete, u"", 3, 0, 2, A, u"0", 0},
      {kText2, u"110", K::kCut, u"", 2, 1, 1, A, u"10", 1},
      {kText2, u"110", K::kCut, u"", 2, 0, 0, U, u"110", -1},
      {kText2, u"110", K::kType, u"0", 3, 1, 2, A, u"10", 2},
      {kText2, u"110", K::kType, u"1", 1, 0, 0, A, u"1110", 2},
      {kText2, u"110", K::kType, u"1", 1, 1, 1, U, u"110", 2},
      {kText1, u"12", K::kPaste, u" 3_4'\u2003", 1, 0, 0, A, u"1342", 3},
      {kText1, u"12", K::kPaste, u"0x1", 2, 0, 0, R, u"12", -1},
      {kText1, u"", K::kPaste, u"\t\r\u00852\u00a0\u1680\u2000\u200a\u2028\u2029\u202f\u205f\u3000", 0, 0, 0, A, u"2", 1},
      {kText1, u"12", K::kPaste, u"", 2, 0, 2, A, u"", 0},
      {kText1, u"12", K::kPaste, u"", 2, 0, 0, U, u"12", -1},
      {kText2, u"1", K::kPaste, u"0B 10", 1, 0, 0, A, u"110", 3},
      {kText3, u"1", K::kPaste, u"0o7", 0, 0, 0, A, u"71", 1},
      {kText4, u"1", K::kPaste, u"0X_7F", 1, 0, 0, A, u"17F", 3},
      {kText4, u"1", K::kPaste, u"0B12", 1, 0, 0, A, u"10B12", 5},
      {kText4, u"1", K::kPaste, std::u16string(20, u'F'), 1, 0, 0, R, u"1", -1},
      {kText2, u"1", K::kInsert, u"0b_0", 0, 0, 0, A, u"01", 1},
      {kText2, u"1", K::kReplace, u"12", 2, 0, 0, R, u"1", -1},
      {kText1, nines, K::kType, u"9", 14, 0, 0, R, nines, -1},
      {kText1, zeros, K::kType, u"0", 14, 0, 0, R, zeros, -1},
      {kText1, nines, K::kType, u"1", 0, 0, 1, A, u"1" + nines.substr(1), 1},
      {kText2, ones, K::kType, u"1", 46, 0, 0, R, ones, -1},
      {kText2, ones, K::kType, u"0", 0, 0, 0, A, u"0" + ones, 1},
      // clang-format on
  };
  for (const auto& c : cases) {
    ConverterModel model;
    model.Apply(Ask(K::kType, c.field, c.typed));
    const Result result = model.Apply(Ask(c.kind, c.field, c.text, c.caret, c.start, c.length));
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(model.Text(c.field), Narrow(c.after));
    EXPECT_EQ(result.caret, c.caretAfter);
  }
}

TEST(ConverterModel, UndoAndRedoReplayThroughTheConversion) {
  ConverterModel model;
  for (const char16_t* key : {u"1", u"2", u"3"}) model.Apply(Ask(K::kType, kText1, key));
  EXPECT_EQ(model.Apply(Ask(K::kUndo, kText1)).caret, 2);
  EXPECT_EQ(model.Text(kText2), "1100");
  model.Apply(Ask(K::kUndo, kText1)), model.Apply(Ask(K::kRedo, kText1));
  EXPECT_TRUE(model.Text(kText1) == "12" && model.CanRedo(kText1));
  model.Apply(Ask(K::kType, kText1, u"7"));  // a new edit drops what could be redone
  EXPECT_FALSE(model.CanRedo(kText1));
  model.Apply(Ask(K::kType, kText2, u"1"));  // a write by another field starts the history afresh
  EXPECT_FALSE(model.CanUndo(kText1) || model.CanRedo(kText1));
  EXPECT_EQ(model.Apply(Ask(K::kUndo, kText1)).outcome, Outcome::kUnchanged);
  model.Apply(Ask(K::kUndo, kText2));
  EXPECT_EQ(model.Text(kText1), "127");
}

// The yield runs once per digit written; whatever it throws leaves the model as it was.
TEST(ConverterModel, AThrowingYieldLeavesEverythingAsItWas) {
  int calls = 0, throwAt = -1;
  auto yield = [&] {
    if (++calls == throwAt) throw std::runtime_error("interrupted");
  };
  ConverterModel model{YieldRef(yield)};
  model.Apply(Ask(K::kType, kText1, u"123"));
  EXPECT_GT(calls, 10);
  throwAt = calls + 5;
  EXPECT_THROW(model.Apply(Ask(K::kType, kText1, u"4")), std::runtime_error);
  EXPECT_EQ(model.Text(kText1) + model.Text(kText2), "1231111011");
  EXPECT_EQ(model.Apply(Ask(K::kUndo, kText1)).outcome, Outcome::kAccepted);
}

// Pastes into an empty Text1 and Text4 against a reading of their own: dots only between
// thousands in Text1, lower-case letters as capitals in Text4, never the upper-case hint.
TEST(ConverterModel, PastesAsAnItalianWritesNumbers) {
  const std::regex thousands(R"(\d{1,3}(\.\d{3})+|\d+)"), hex(R"((0[xX])?([0-9a-fA-F]+))");
  for (const char* paste : {"1.234.567", "1.23", "12.34.567", "123.456", "1234.567", ".123", "1.",
                            "1..234", "0.000", "99.999.999.999.999", "100.000.000.000.000", "ff",
                            "0xff", "0XaB", "fF1", "fg", "1.0a0", "5af3107a3fff", "5af3107a4000"}) {
    for (const Field field : {kText1, kText4}) {
      ConverterModel model;
      const Result result = model.Apply(Ask(K::kPaste, field, Widen(paste), 0));
      std::string expected;
      std::cmatch match;
      if (field == kText1 && std::regex_match(paste, thousands)) {
        std::erase(expected.assign(paste), '.');
        if (expected.size() > 14) expected.clear();
      } else if (field == kText4 && std::regex_match(paste, match, hex)) {
        std::uint64_t value = 0;
        const std::string digits = match[2];
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        for (const char c : digits) expected += char(std::toupper(c));
        if (value > std::uint64_t(kMax)) expected.clear();
      }
      EXPECT_EQ(result.outcome, expected.empty() ? Outcome::kRefused : Outcome::kAccepted) << paste;
      EXPECT_EQ(model.Text(field), expected) << paste;
      EXPECT_EQ(model.Text(kLabel6), "Esadecimale");
    }
  }
}

// A field holds at most kMaxFieldLength characters: a longer text, or an edit that would make
// one, is refused whole; and many long edits keep the history within its bytes.
TEST(ConverterModel, LongTextsAreRefusedWholeAndTheHistoryKeepsToItsBytes) {
  const auto most = std::size_t(kMaxFieldLength);
  for (const K kind : {K::kType, K::kPaste, K::kInsert, K::kReplace}) {
    for (const std::size_t size : {most - 1, most, most + 1, std::size_t{100'000}}) {
      ConverterModel model;
      model.Apply(Ask(K::kType, kText2, u"1"));
      const auto before = Texts(model);
      const Result result = model.Apply(Ask(kind, kText2, std::u16string(size, u'0'), 0));
      const std::size_t length = size + (kind == K::kReplace ? 0 : 1);
      EXPECT_EQ(result.outcome, length <= most ? Outcome::kAccepted : Outcome::kRefused) << size;
      EXPECT_EQ(model.Text(kText2).size(), length <= most ? length : 1);
      if (length > most) {
        EXPECT_EQ(Texts(model), before);
      }
    }
  }
  ConverterModel model;
  std::u16string text(most, u'0');
  for (int i = 0; i < 1000; ++i) {
    text.back() = u"01"[i % 2];
    model.Apply(Ask(K::kReplace, kText2, text));
  }
  int undos = 0;
  for (; model.CanUndo(kText2); ++undos) model.Apply(Ask(K::kUndo, kText2));
  EXPECT_EQ(model.Text(kText2).size(), most);
  EXPECT_GT(undos, 100);
  EXPECT_LE(undos * most, 64u * 1024);
}

// Reads digits in `base` with 128 bits, saturating; -1 for a character that is no digit of it.
Wide Read(const std::u16string& text, int base) {
  Wide value = 0;
  for (const char16_t c : text) {
    const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : 99;
    if (digit >= base) return -1;
    value = std::min<Wide>(value * base + digit, Wide(1) << 80);
  }
  return value;
}

// A million random requests. After each, the six fields hold one value within the limit (read
// back by the conversion routines), a request that is not accepted changes nothing, the picked
// tokens are what Text6Raw shows, and a key at the end of a field or a pick is taken exactly when
// an independent reading of the result stays within the limit.
TEST(ConverterModel, RandomRequestsKeepTheFieldsInStep) {
  std::mt19937_64 random(20261206);
  const std::u16string alphabet[] = {u"0",  u"1",  u"7",      u"a",      u"9", u"A",
                                     u"F",  u"f",  u"G",      u" ",      u"_", u"0x",
                                     u"0b", u"0o", u"\u2003", u"\u00e9", u"\r"};
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  ConverterModel model;
  std::vector<int> codes;  // the picks held, as the oracle counts them
  std::array<long, 3> outcomes{};
  for (int i = 0; i < 1'000'000; ++i) {
    const Field field = Field(pick(4));
    const int size = int(model.Text(field).size());
    const int kind = pick(20), code = pick(3) ? pick(3) : pick(256);
    Request request = kind < 3 ? Pick(code) : Request::Of(K::kCancella);
    if (kind >= 4) {
      std::u16string text;
      for (int n = pick(3) ? 1 : pick(4); n > 0; --n) text += alphabet[pick(17)];
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
      if (within) {
        ASSERT_EQ(model.Text(field), std::string(candidate.begin(), candidate.end()));
      }
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
    const bool hint = result.outcome == Outcome::kRefused &&
                      (k == K::kType || k == K::kReplace) &&
                      request.text.find_first_of(u"abcdef") != std::u16string::npos;
    ASSERT_EQ(model.Text(kLabel6), request.field != kText4 || request.kind >= K::kPick
                                       ? captionBefore
                                   : hint ? "Esadecimale (solo MAIUSCOLE)"
                                          : "Esadecimale");
    ASSERT_EQ(model.CaratteriScelti().size(), codes.size());

    if (after[5].empty()) {  // emptied: every field
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
    ASSERT_EQ(after[4], value->Whole() > 3999
                            ? "Conversione impossibile (>3999)"
                            : *Conversioni::DecimaleARomano(std::int16_t(value->Whole())));
    std::string notation = "|| ";
    for (const int c : codes) notation += std::string(CodePage::TokenOf(std::uint8_t(c))) + " || ";
    if (!codes.empty()) {
      ASSERT_EQ(after[5], notation);
    }
  }
  EXPECT_GT(outcomes[int(Outcome::kAccepted)], 200'000);
  EXPECT_GT(outcomes[int(Outcome::kRefused)], 100'000);
}

}  // namespace
}  // namespace tessaldo
