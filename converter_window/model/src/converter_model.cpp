#include "tessaldo/converter_window/converter_model.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/currency.h"
#include "tessaldo/conversion/failure.h"
#include "tessaldo/support/expected.h"

namespace tessaldo {

namespace {

using enum Field;
using Kind = Request::Kind;

// Every number the window accepts has at most this many decimal digits.
constexpr std::size_t kMaxDigits = 14;
constexpr std::size_t kHistoryDepth = 1000;
constexpr std::size_t kHistoryBytes = 64 * 1024;  // per field
constexpr auto kMaxLength = static_cast<std::size_t>(kMaxFieldLength);

constexpr std::string_view kHexCaption = "Esadecimale";
constexpr std::string_view kHexHint = "Esadecimale (solo MAIUSCOLE)";
constexpr std::string_view kRomanTooLarge = "Conversione impossibile (>3999)";

bool IsDecimalDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsBinaryDigit(char16_t c) {
  return c == u'0' || c == u'1';
}
bool IsOctalDigit(char16_t c) {
  return c >= u'0' && c <= u'7';
}
bool IsUpperHexDigit(char16_t c) {
  return IsDecimalDigit(c) || (c >= u'A' && c <= u'F');
}
bool IsLowerHexLetter(char16_t c) {
  return c >= u'a' && c <= u'f';
}

// White space as the window system counts it: the ASCII blanks and Unicode's separators.
bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// How each numeric field reads and writes the number. The decimal field counts its own
// characters against the limit and keeps what the user typed; the others count the value's
// digits, so they take any number of leading zeros.
struct NumericRule {
  bool (*accepts)(char16_t);
  Expected<Currency, Failure> (*read)(std::string_view);
  bool limitsOwnText;
  std::u16string_view pastePrefix;  // the base's prefix that a paste may carry
  std::array<Field, 5> writeOut;    // in the order the field writes them
};

const std::array<NumericRule, kNumericFields> kRules{{
    {IsDecimalDigit,
     Currency::FromDecimalText,
     true,
     u"",
     {kText2, kText3, kText4, kText6Raw, kText5}},
    {IsBinaryDigit,
     Conversioni::BinarioADecimale,
     false,
     u"0b",
     {kText1, kText4, kText3, kText6Raw, kText5}},
    {IsOctalDigit,
     Conversioni::OttaleADecimale,
     false,
     u"0o",
     {kText1, kText2, kText4, kText6Raw, kText5}},
    {IsUpperHexDigit,
     Conversioni::EsadecimaleADecimale,
     false,
     u"0x",
     {kText1, kText2, kText3, kText6Raw, kText5}},
}};

std::size_t Index(Field field) {
  return static_cast<std::size_t>(field);
}

bool IsNumeric(Field field) {
  return Index(field) < kNumericFields;
}

std::u16string Widen(std::string_view ascii) {
  return {ascii.begin(), ascii.end()};
}

// A field's text as it would be after an edit, with the caret's place.
struct Candidate {
  std::u16string text;
  int caret = 0;
};

int Clamp(int position, const std::u16string& text) {
  return std::clamp(position, 0, static_cast<int>(text.size()));
}

// The selection as it lies in `text`: start and length within it.
Selection Within(Selection s, const std::u16string& text) {
  s.caret = Clamp(s.caret, text);
  s.start = Clamp(s.start, text);
  s.length = std::clamp(s.length, 0, static_cast<int>(text.size()) - s.start);
  return s;
}

Candidate InsertAt(std::u16string text, int position, std::u16string_view inserted) {
  const int at = Clamp(position, text);
  text.insert(static_cast<std::size_t>(at), inserted);
  return {std::move(text), at + static_cast<int>(inserted.size())};
}

Candidate RemoveSelection(std::u16string text, Selection s) {
  text.erase(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length));
  return {std::move(text), s.start};
}

Candidate ReplaceSelection(const std::u16string& text, Selection s, std::u16string_view inserted) {
  if (s.length == 0) return InsertAt(text, s.caret, inserted);
  return InsertAt(RemoveSelection(text, s).text, s.start, inserted);
}

// "1.234.567" reads as 1234567: the dots go when they stand between groups of exactly three
// digits after a first group of one to three. Any other dot stays, for the filter to refuse.
void DropThousandsDots(std::u16string& text) {
  std::size_t group = 0;
  bool first = true;
  for (const char16_t c : text) {
    if (c != u'.') {
      if (!IsDecimalDigit(c)) return;
      ++group;
    } else if (first ? group < 1 || group > 3 : group != 3) {
      return;
    } else {
      first = false;
      group = 0;
    }
  }
  if (group == 3) std::erase(text, u'.');
}

// Paste rules: blanks, "_" and "'" are dropped, then the prefix of the field's own base; the
// decimal field takes thousands dots, the hexadecimal one lower-case letters as capitals.
std::u16string Cleaned(Field field, std::u16string_view pasted) {
  std::u16string cleaned;
  for (const char16_t c : pasted) {
    if (!IsBlank(c) && c != u'_' && c != u'\'') cleaned.push_back(c);
  }
  const std::u16string_view prefix = kRules[Index(field)].pastePrefix;
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  if (!prefix.empty() && cleaned.size() >= prefix.size() &&
      std::equal(prefix.begin(), prefix.end(), cleaned.begin(),
                 [&](char16_t p, char16_t c) { return p == lower(c); })) {
    cleaned.erase(0, prefix.size());
  }
  if (field == kText1) DropThousandsDots(cleaned);
  if (field == kText4) {
    for (char16_t& c : cleaned) c = IsLowerHexLetter(c) ? char16_t(c - 32) : c;
  }
  return cleaned;
}

// The base-256 notation of the picked tokens: "|| ", each token followed by " || ".
std::string PickedText(const std::vector<std::string>& tokens) {
  std::string text(Conversioni::kNotationOpening);
  for (const std::string& token : tokens) {
    text += token;
    text += Conversioni::kNotationSeparator;
  }
  return text;
}

NoYield noYield;

}  // namespace

ConverterModel::ConverterModel(YieldRef yield) : yield_(yield) {
  texts_[Index(kLabel6)] = kHexCaption;
}

ConverterModel::ConverterModel() : ConverterModel(YieldRef(noYield)) {}

bool ConverterModel::CanUndo(Field field) const {
  return IsNumeric(field) && history_[Index(field)].at > 0;
}

bool ConverterModel::CanRedo(Field field) const {
  if (!IsNumeric(field)) return false;
  const History& history = history_[Index(field)];
  return history.at + 1 < history.entries.size();
}

Result ConverterModel::Apply(const Request& request) {
  Result result;
  switch (request.kind) {
    case Kind::kPick:
      result = Pick(request.token);
      break;
    case Kind::kCancella:
      result = Cancella();
      break;
    default:
      if (!IsNumeric(request.field)) return result;
      result = Edit(request);
      break;
  }
  return result;
}

// Builds the candidate text of an edit from the field's text, the caret and the selection.
Result ConverterModel::Edit(const Request& request) {
  const Field field = request.field;
  Result result;
  // Every edit of the hexadecimal field first takes back the upper-case hint.
  if (field == kText4 && Text(kLabel6) != kHexCaption) {
    result.writes.push_back({kLabel6, std::string(kHexCaption)});
  }
  const auto nothing = [&] {
    Apply(result);
    return result;
  };
  // A text longer than a field holds is refused before anything else is done with it.
  if (request.text.size() > kMaxLength) {
    result.outcome = Outcome::kRefused;
    return nothing();
  }
  const std::u16string text = Widen(Text(field));
  const Selection s = Within(request.selection, text);
  const History& history = history_[Index(field)];
  Candidate candidate;
  Step step = Step::kRecord;

  switch (request.kind) {
    case Kind::kType:
      candidate = ReplaceSelection(text, s, request.text);
      break;
    case Kind::kBackspace:
      if (s.length > 0) {
        candidate = RemoveSelection(text, s);
      } else if (s.caret == 0) {
        candidate = {text, 0};
      } else {
        candidate = RemoveSelection(text, {0, s.caret - 1, 1});
      }
      break;
    case Kind::kDelete:
      if (s.length > 0) {
        candidate = RemoveSelection(text, s);
      } else if (s.caret == static_cast<int>(text.size())) {
        candidate = {text, s.caret};
      } else {
        candidate = RemoveSelection(text, {0, s.caret, 1});
      }
      break;
    case Kind::kCut:
      if (s.length == 0) return nothing();
      candidate = RemoveSelection(text, s);
      break;
    case Kind::kPaste:
      // Like a plain field: an empty paste still deletes the selection it would replace.
      if (request.text.empty() && s.length == 0) return nothing();
      candidate = ReplaceSelection(text, s, Cleaned(field, request.text));
      break;
    case Kind::kInsert:
      if (request.text.empty()) return nothing();
      candidate = InsertAt(text, request.position, Cleaned(field, request.text));
      break;
    case Kind::kReplace:
      candidate = {request.text, std::clamp(request.position, 0, int(request.text.size()))};
      break;
    case Kind::kUndo:
    case Kind::kRedo: {
      const bool undo = request.kind == Kind::kUndo;
      if (undo ? history.at == 0 : history.at + 1 >= history.entries.size()) return nothing();
      const Entry& entry = history.entries[undo ? history.at - 1 : history.at + 1];
      candidate = {Widen(entry.text), entry.caret};
      step = undo ? Step::kUndo : Step::kRedo;
      break;
    }
    default:
      return nothing();
  }
  return Commit(field, candidate.text, candidate.caret, step, std::move(result));
}

// Checks the candidate text of a numeric field, converts it and writes it out; or refuses it.
Result ConverterModel::Commit(Field field, const std::u16string& candidate, int caret, Step step,
                              Result result) {
  const NumericRule& rule = kRules[Index(field)];
  History& history = history_[Index(field)];
  const auto advance = [&] {
    if (step == Step::kUndo) --history.at;
    if (step == Step::kRedo) ++history.at;
  };

  result.caret = caret;
  if (candidate == Widen(Text(field))) {
    // Nothing to convert; the caret still goes where the edit leaves it.
    Apply(result);
    advance();
    return result;
  }
  // Filter: every character must be one the field takes by key.
  const auto refuse = [&] {
    result.outcome = Outcome::kRefused;
    result.caret = -1;
    Apply(result);
    return result;
  };
  if (candidate.size() > kMaxLength) return refuse();
  if (!std::all_of(candidate.begin(), candidate.end(), rule.accepts)) {
    if (field == kText4 && std::any_of(candidate.begin(), candidate.end(), IsLowerHexLetter)) {
      result.writes.push_back({kLabel6, std::string(kHexHint)});
    }
    return refuse();
  }
  const std::string digits(candidate.begin(), candidate.end());

  if (digits.empty()) {
    // Emptying: the other fields in the order of their numbers, then the base-256 text.
    for (const Field target : {kText1, kText2, kText3, kText4, kText5}) {
      if (target != field) result.writes.push_back({target, {}});
    }
    result.writes.push_back({kText6Raw, {}});
  } else {
    if (rule.limitsOwnText && digits.size() > kMaxDigits) return refuse();
    // An overflow of the reading routine lies beyond the limit too.
    const Expected<Currency, Failure> value = rule.read(digits);
    if (!value.has_value() || value->DecimalText().size() > kMaxDigits) return refuse();
    for (const Field target : rule.writeOut) {
      result.writes.push_back({target, Render(target, *value)});
    }
  }
  result.writes.push_back({field, digits});
  result.outcome = Outcome::kAccepted;

  picked_.clear();
  Apply(result, field);
  if (step == Step::kRecord) {
    // The window's writes started each other field's history afresh; this one records.
    history.entries.resize(history.at + 1);
    history.entries.push_back({digits, caret});
    // The newest entries that fit the depth and the bytes stay; the one just made always fits.
    static_assert(sizeof(Entry) + kMaxLength <= kHistoryBytes);
    std::size_t kept = 0, bytes = 0;
    for (auto entry = history.entries.rbegin(); entry != history.entries.rend(); ++entry, ++kept) {
      bytes += sizeof(Entry) + entry->text.size();
      if (kept == kHistoryDepth || bytes > kHistoryBytes) break;
    }
    history.entries.erase(history.entries.begin(), history.entries.end() - kept);
    history.at = history.entries.size() - 1;
  } else {
    advance();
  }
  return result;
}

// Guided entry. While tokens are picked, Text6Raw holds exactly their notation and the other
// fields its value. A pick that the value cannot take (over 14 digits, beyond the currency
// range, or unreadable for any other reason) is refused and leaves everything as it was.
Result ConverterModel::Pick(const std::string& token) {
  Result result;
  std::vector<std::string> picked = picked_;
  picked.push_back(token);
  const bool taken = ConvertPicked(picked, result);
  Apply(result);
  if (taken) picked_ = std::move(picked);
  return result;
}

Result ConverterModel::Cancella() {
  Result result;
  if (picked_.empty()) return result;
  std::vector<std::string> picked(picked_.begin(), picked_.end() - 1);
  if (picked.empty()) {
    for (const Field target : {kText1, kText2, kText3, kText4, kText5, kText6Raw}) {
      result.writes.push_back({target, {}});
    }
    result.outcome = Outcome::kAccepted;
  } else if (!ConvertPicked(picked, result)) {
    picked = picked_;  // a list the model built always converts once shortened
  }
  Apply(result);
  picked_ = std::move(picked);
  return result;
}

bool ConverterModel::ConvertPicked(const std::vector<std::string>& picked, Result& result) {
  const std::string notation = PickedText(picked);
  result.writes.push_back({kText6Raw, notation});
  const Expected<Currency, Failure> value = Conversioni::Utf8ADecimale(notation);
  if (!value.has_value() || value->DecimalText().size() > kMaxDigits) {
    result.writes.push_back({kText6Raw, Text(kText6Raw)});
    result.outcome = Outcome::kRefused;
    return false;
  }
  for (const Field target : {kText1, kText2, kText3, kText4, kText5}) {
    result.writes.push_back({target, Render(target, *value)});
  }
  result.outcome = Outcome::kAccepted;
  return true;
}

std::string ConverterModel::Render(Field target, const Currency& value) {
  switch (target) {
    case kText1:
      return value.DecimalText();
    case kText2:
      return Conversioni::DecimaleABinario(value, yield_);
    case kText3:
      return Conversioni::DecimaleAOttale(value, yield_);
    case kText4:
      return Conversioni::DecimaleAEsadecimale(value, yield_);
    case kText6Raw:
      return Conversioni::DecimaleAUtf8(value, yield_);
    case kText5:
      if (value.Whole() > Conversioni::kRomanMax) return std::string(kRomanTooLarge);
      return Conversioni::DecimaleARomano(static_cast<std::int16_t>(value.Whole())).value_or("");
    case kLabel6:
      break;
  }
  return {};
}

// Takes the writes into the fields; a write by the model starts a numeric field's history
// afresh, as a plain field's setText does for its own, except for the field being edited.
void ConverterModel::Apply(const Result& result, Field edited) {
  for (const Write& write : result.writes) {
    texts_[Index(write.field)] = write.text;
    if (IsNumeric(write.field) && write.field != edited) {
      History& history = history_[Index(write.field)];
      history.entries.assign(1, Entry{write.text, static_cast<int>(write.text.size())});
      history.at = 0;
    }
  }
}

}  // namespace tessaldo
