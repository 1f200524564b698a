#include "files/hpgl_reader.h"

#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>
#include <string>

#include "files/figure_finish.h"
#include "files/number_text.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

bool IsNumberChar(uint8_t c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
bool IsLetter(uint8_t c) { return c >= 'A' && c <= 'Z'; }

// Bytes that begin a token in either case: number characters and letters. Everything else separates.
constexpr std::array<bool, 256> kStartsToken = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<size_t>(c)] = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' ||
                                    (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
  return table;
}();

bool StartsToken(char c) { return kStartsToken[static_cast<uint8_t>(c)]; }

// Bytes that continue a number after its digits: a sign or a point.
constexpr std::array<bool, 256> kSignOrPoint = [] {
  std::array<bool, 256> table{};
  table['+'] = table['-'] = table['.'] = true;
  return table;
}();

uint8_t UpperCase(int c) {
  const auto byte = static_cast<uint8_t>(c);
  return (byte >= 'a' && byte <= 'z') ? static_cast<uint8_t>(byte - 'a' + 'A') : byte;
}

// The index of a word of one or two upper-case letters in a table of every such word.
constexpr size_t WordIndex(char first, char second) {
  return static_cast<size_t>(first - 'A') * 27 + (second == '\0' ? 0 : static_cast<size_t>(second - 'A') + 1);
}

// The commands acted on, and settings that neither draw nor move. Every command is looked up, so the words are a
// table of all words of one or two letters.
constexpr std::array<bool, 26 * 27> kQuietWords = [] {
  std::array<bool, 26 * 27> table{};
  constexpr const char* kQuiet[] = {"PW", "SP", "PR", "PD", "PA", "PU", "C",  "M",
                                    "IP", "IN", "DF", "VS", "LT", "PT", "SC", "PS"};
  for (const char* word : kQuiet) table[WordIndex(word[0], word[1])] = true;
  return table;
}();

bool IsQuietWord(std::string_view word) {
  // The token reader makes words of one or two letters A..Z; anything else is no quiet word.
  const auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (word.empty() || word.size() > 2 || !letter(word[0]) || (word.size() == 2 && !letter(word[1]))) return false;
  return kQuietWords[WordIndex(word[0], word.size() > 1 ? word[1] : '\0')];
}

[[noreturn, gnu::noinline, gnu::cold]] void ThrowCoordinateOutOfRange(int64_t sum) {
  throw RunTimeError::InvalidInteger(std::to_string(sum));
}

// The int32 result of an accumulation, or the conversion error for a coordinate beyond the 32-bit range.
[[gnu::always_inline]] inline int32_t CheckedSum(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + int64_t{b};
  if (sum < INT32_MIN || sum > INT32_MAX) ThrowCoordinateOutOfRange(sum);
  return static_cast<int32_t>(sum);
}

}  // namespace

HpglReader::HpglReader(std::istream& stream) : input_(stream) { NextChar(); }

double HpglReader::PenValue(int32_t pen) const {
  return pen >= 0 && pen <= kHighestPen ? pen_table_[static_cast<size_t>(pen)] : 0.0;
}

void HpglReader::NextChar() {
  const int c = input_.Next();
  if (c < 0) {
    at_eof_ = true;
    cur_char_ = ' ';
    return;
  }
  cur_char_ = UpperCase(c);
}

void HpglReader::ReadToken() {
  is_number_ = false;
  is_word_ = false;
  token_length_ = 0;
  if (IsNumberChar(cur_char_)) {
    ReadNumberToken();
  } else if (IsLetter(cur_char_)) {
    is_word_ = true;
    token_[token_length_++] = static_cast<char>(cur_char_);
    NextChar();
    if (!at_eof_ && IsLetter(cur_char_)) {
      token_[token_length_++] = static_cast<char>(cur_char_);
      NextChar();
    }
  } else {
    NextChar();
  }
}

void HpglReader::ReadNumberToken() {
  // The hot loop of every plot file. It scans the input buffer directly and keeps its state in locals, because
  // stores into the member token would make the compiler reload every member on each byte.
  // The common token, an optional sign and a few digits, gets its value on the way; anything else is converted (or
  // refused) from its text later.
  std::array<char, kMaxTokenLength> text;
  size_t length = 0;
  bool overflow = false;
  bool simple = true;
  bool negative = false;
  int64_t magnitude = 0;
  uint8_t c = cur_char_;
  const char* cursor = input_.Cursor();
  const char* limit = input_.Limit();
  bool reached_end = false;
  while (true) {
    if (length < kMaxTokenLength) {
      text[length++] = static_cast<char>(c);
    } else {
      overflow = true;
    }
    if (c >= '0' && c <= '9') {
      magnitude = magnitude * 10 + (c - '0');
      if (magnitude > kSimpleIntegerLimit) {
        simple = false;
        magnitude = 0;
      }
    } else if (length == 1 && c != '.') {
      negative = c == '-';
    } else {
      simple = false;
    }
    if (cursor == limit) {
      input_.ConsumeTo(cursor);
      if (!input_.Refill()) {
        reached_end = true;
        break;
      }
      cursor = input_.Cursor();
      limit = input_.Limit();
    }
    c = static_cast<uint8_t>(*cursor++);
    if (!IsNumberChar(c)) break;
  }
  if (!reached_end) input_.ConsumeTo(cursor);
  if (reached_end) {
    at_eof_ = true;
    cur_char_ = ' ';
  } else {
    cur_char_ = UpperCase(c);
  }
  token_length_ = length;
  token_overflow_ = overflow;
  const bool has_digit = length > 1 || (text[0] >= '0' && text[0] <= '9');
  simple_integer_ = simple && has_digit && !overflow;
  simple_value_ = negative ? -magnitude : magnitude;
  // The text is needed only to convert or refuse an unusual number.
  if (!simple_integer_ || simple_value_ < INT32_MIN || simple_value_ > INT32_MAX) {
    for (size_t i = 0; i < length; ++i) token_[i] = text[i];
  }
  is_number_ = true;
}

void HpglReader::SkipSeparators() {
  // Equivalent to skipping one separator per token read, done in one pass over the buffer.
  while (!at_eof_ && !IsNumberChar(cur_char_) && !IsLetter(cur_char_)) {
    const char* cursor = input_.Cursor();
    const char* limit = input_.Limit();
    while (cursor != limit) {
      const char c = *cursor++;
      if (StartsToken(c)) {
        input_.ConsumeTo(cursor);
        cur_char_ = UpperCase(static_cast<uint8_t>(c));
        return;
      }
    }
    input_.ConsumeTo(cursor);
    NextChar();
  }
}

namespace {

// Eight input bytes as one little-endian word, the first byte lowest.
uint64_t LoadEight(const char* p) {
  uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The digits of a number, 0..9 in their bytes, from eight input bytes: the first byte lowest.
uint64_t DigitBytes(const char* p) { return LoadEight(p) ^ 0x3030303030303030ULL; }

// The bytes of DigitBytes that are no decimal digit, by the top bit of each, exact up to the first of them. A byte
// is not a digit when it is 10 or more (adding 0x76 reaches its top bit) or already has its top bit; such a byte may
// carry into the next, which then reads as no digit either.
uint64_t NotDigitBits(uint64_t x) { return ((x + 0x7676767676767676ULL) | x) & 0x8080808080808080ULL; }

// How many of the eight bytes of DigitBytes are decimal digits before the first other byte (8 when all are).
int LeadingDigits(uint64_t x) {
  const uint64_t not_digit = NotDigitBits(x);
  return not_digit == 0 ? 8 : std::countr_zero(not_digit) / 8;
}

// The value of the first count (1..7, never 0: the shift would be undefined) digits of DigitBytes.
uint64_t DigitsValue(uint64_t x, int count) {
  x <<= 8 * (8 - count);  // drop the bytes after the digits; the freed low bytes read as leading zeros
  x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFULL;
  x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFULL;
  return (x * 10000 + (x >> 32)) & 0xFFFFFFFFULL;
}

// Two plain numbers at the start of a window of sixteen bytes, the second after one separator: "y,x'" of a run of
// pairs, each of one to seven digits without a sign.
struct TwoNumbers {
  int32_t first = 0, second = 0;
  char terminator = 0;  // the byte after the second number
  int length = 0;       // of both numbers, their separator and the terminator
};

// Reads TwoNumbers from p, which has at least sixteen bytes before the end of the block, when they are there as the
// number scan below would read them: the byte between them a separator that begins no token, the one after the
// second no digit, sign or point. False for anything else. A byte with its top bit between the numbers may make a
// 9 after it look like no digit (see NotDigitBits); the second number is then empty and refused.
[[gnu::always_inline]] inline bool ScanTwoPlainNumbers(const char* p, TwoNumbers& numbers) {
  const uint64_t low = DigitBytes(p);
  const uint64_t low_breaks = NotDigitBits(low);
  if (low_breaks == 0) return false;  // eight digits
  const int first_end = std::countr_zero(low_breaks) / 8;
  if (first_end == 0) return false;
  const uint64_t later_breaks = low_breaks & (low_breaks - 1);
  const uint64_t high_breaks = NotDigitBits(DigitBytes(p + 8));
  // The end of the second number: in the low eight bytes, or else in the high eight (16 when none is there).
  const int second_end = later_breaks != 0 ? std::countr_zero(later_breaks) / 8
                                           : (high_breaks == 0 ? 16 : 8 + std::countr_zero(high_breaks) / 8);
  const int second_digits = second_end - first_end - 1;
  if (second_digits < 1 || second_digits > 7 || second_end > 15) return false;
  if (kStartsToken[static_cast<uint8_t>(p[first_end])] || kSignOrPoint[static_cast<uint8_t>(p[second_end])]) {
    return false;
  }
  numbers.first = static_cast<int32_t>(DigitsValue(low, first_end));
  numbers.second = static_cast<int32_t>(DigitsValue(DigitBytes(p + first_end + 1), second_digits));
  numbers.terminator = p[second_end];
  numbers.length = second_end + 1;
  return true;
}

// Scans separators and then a plain number (a sign and up to nine digits) from cursor, the way SkipToToken would
// read it. Succeeds only when the byte ending the number lies before limit; then value and terminator are set and
// cursor moves past the terminator. On failure cursor is unchanged.
[[gnu::always_inline]] inline bool ScanPlainNumber(const char*& cursor, const char* limit, int32_t& value,
                                                 char& terminator) {
  const char* p = cursor;
  // Most numbers follow their separator at once, with no sign, far from the end of the block.
  if (limit - p >= 9 && static_cast<uint8_t>(*p - '0') < 10) {
    const uint64_t x = DigitBytes(p);
    const int run = LeadingDigits(x);
    if (run < 8) {
      const auto after = static_cast<uint8_t>(x >> (8 * run) ^ 0x30);
      if (kSignOrPoint[after]) return false;  // not a digit already
      value = static_cast<int32_t>(DigitsValue(x, run));
      terminator = static_cast<char>(after);
      cursor = p + run + 1;
      return true;
    }
  }
  if (p == limit) return false;
  if (!StartsToken(*p)) {
    do {
      ++p;
    } while (p != limit && !StartsToken(*p));
    if (p == limit) return false;
  }
  bool negative = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    ++p;
  }
  if (limit - p >= 8) {
    // Up to seven digits and the byte after them come from one load.
    const uint64_t x = DigitBytes(p);
    const int run = LeadingDigits(x);
    if (run > 0 && run < 8) {
      const auto after = static_cast<uint8_t>(x >> (8 * run) ^ 0x30);
      if (kSignOrPoint[after]) return false;  // not a digit already
      const auto magnitude = static_cast<int32_t>(DigitsValue(x, run));
      terminator = static_cast<char>(after);
      cursor = p + run + 1;
      value = negative ? -magnitude : magnitude;
      return true;
    }
  }
  int32_t magnitude = 0;
  int digits = 0;
  while (p != limit && *p >= '0' && *p <= '9') {
    if (++digits > 9) return false;  // longer numbers take the general path and its range check
    magnitude = magnitude * 10 + (*p - '0');
    ++p;
  }
  if (digits == 0 || p == limit || IsNumberChar(static_cast<uint8_t>(*p))) return false;
  terminator = *p;
  cursor = p + 1;
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

void HpglReader::ReadAbsolutePairs(tfigura& figure) {
  // The bulk of every plot file: plain pairs continuing an absolute pen-down command. Each pair is parsed and
  // applied exactly as ParseCommand and ApplyCommand would, with the state kept in locals; anything unusual is left
  // to the general path at exactly the place where it begins.
  if (!is_number_ || !simple_integer_ || simple_value_ < INT32_MIN || simple_value_ > INT32_MAX) return;
  if (at_eof_ || StartsToken(static_cast<char>(cur_char_))) return;
  const char* cursor = input_.Cursor();
  const char* const limit = input_.Limit();
  auto first = static_cast<int32_t>(simple_value_);  // the number token in hand
  char terminator = static_cast<char>(cur_char_);     // the byte that ended it
  std::vector<TPlotPoint>& points = figure.points;
  std::optional<TPlotPoint> applied;
  bool token_in_hand_is_plain = true;
  while (true) {
    // A number ended by a letter ("...,30M10,10") is a lone parameter: the letter begins the next command.
    if (StartsToken(terminator)) break;
    // The common run, the pair's second number and the next pair's first, plain and one separator apart.
    if (TwoNumbers numbers; limit - cursor >= 16 && ScanTwoPlainNumbers(cursor, numbers)) {
      const TPlotPoint pair{first, numbers.first};
      if (points.empty() || points.back() != pair) points.push_back(pair);
      applied = pair;
      cursor += numbers.length;
      terminator = numbers.terminator;
      first = numbers.second;
      continue;
    }
    const char* after_second = cursor;
    int32_t second = 0;
    char second_terminator = 0;
    if (!ScanPlainNumber(after_second, limit, second, second_terminator)) break;
    const TPlotPoint pair{first, second};
    if (points.empty() || points.back() != pair) points.push_back(pair);
    applied = pair;
    cursor = after_second;
    terminator = second_terminator;
    int32_t following = 0;
    char following_terminator = 0;
    const char* after_following = after_second;
    if (StartsToken(second_terminator) ||
        !ScanPlainNumber(after_following, limit, following, following_terminator)) {
      token_in_hand_is_plain = false;  // the general reader takes the next token from here
      break;
    }
    cursor = after_following;
    terminator = following_terminator;
    first = following;
  }
  input_.ConsumeTo(cursor);
  cur_char_ = UpperCase(static_cast<uint8_t>(terminator));
  if (applied) {
    param1_ = applied->x;
    param2_ = applied->y;
    param_count_ = 2;
    x_ = last_x_ = prev_x_ = applied->x;
    y_ = last_y_ = prev_y_ = applied->y;
  }
  if (token_in_hand_is_plain) {
    simple_value_ = first;
  } else {
    SkipToToken();
  }
}

// The parameters of a command as the general parse below reads them, when they are a pair of plain numbers (a
// sign and up to nine digits) lying whole in the block in hand: the first in hand already or read from `from`,
// then the second, and the token after them read. False, with nothing read, for anything else.
[[gnu::always_inline]] inline bool HpglReader::ReadPlainPair(const char* from, int32_t first_in_hand,
                                                           bool first_is_in_hand) {
  const char* cursor = from;
  const char* const limit = input_.Limit();
  int32_t first = first_in_hand, second = 0;
  char terminator = 0;
  if (!first_is_in_hand && (!ScanPlainNumber(cursor, limit, first, terminator) || StartsToken(terminator))) {
    return false;
  }
  if (!ScanPlainNumber(cursor, limit, second, terminator)) return false;
  param1_ = first;
  param2_ = second;
  param_count_ = 2;
  x_ = first;
  y_ = second;
  input_.ConsumeTo(cursor);
  cur_char_ = UpperCase(static_cast<uint8_t>(terminator));
  SkipToToken();
  return true;
}

// A word of one or two letters lying whole in the block, the byte after it too.
struct WordInBlock {
  uint8_t first = 0, second = 0;  // upper case; second is the byte after a word of one letter
  bool two_letters = false;
  const char* after = nullptr;  // the byte after the word
};

namespace {

// Finds the next token from `from` as SkipToToken would read it, when that is a word lying whole in the block with
// the byte after it. False for anything else.
[[gnu::always_inline]] inline bool FindWordInBlock(const char* from, const char* limit, WordInBlock& word) {
  const char* p = from;
  while (p != limit && !StartsToken(*p)) ++p;
  if (p == limit || p + 1 == limit) return false;
  const uint8_t first = UpperCase(static_cast<uint8_t>(p[0]));
  if (!IsLetter(first)) return false;
  const uint8_t second = UpperCase(static_cast<uint8_t>(p[1]));
  const bool two_letters = IsLetter(second);
  const char* const after = p + (two_letters ? 2 : 1);
  if (after == limit) return false;
  word = {first, second, two_letters, after};
  return true;
}

// True for "PD" and "PA" with a byte after them that begins no further letter.
bool IsPenDownWord(const WordInBlock& word) {
  return word.two_letters && word.first == 'P' && (word.second == 'D' || word.second == 'A') &&
         !IsLetter(UpperCase(static_cast<uint8_t>(*word.after)));
}

}  // namespace

void HpglReader::TakeWord(const WordInBlock& word) {
  token_[0] = static_cast<char>(word.first);
  token_[1] = static_cast<char>(word.second);
  token_length_ = word.two_letters ? 2 : 1;
  is_word_ = true;
  is_number_ = false;
  cur_char_ = UpperCase(static_cast<uint8_t>(*word.after));
  input_.ConsumeTo(word.after + 1);
}

// Inlined into its caller, as ReadPlainPair and FindWordInBlock are: they run once or more per command, and their
// calls cost a tenth of the reading of a file of one short command per point.
[[gnu::always_inline]] inline bool HpglReader::ReadTokenInBlock(const char* from) {
  const char* const limit = input_.Limit();
  const char* start = from;
  while (start != limit && !StartsToken(*start)) ++start;
  if (start == limit) return false;
  if (IsLetter(UpperCase(static_cast<uint8_t>(*start)))) {
    WordInBlock word;
    if (!FindWordInBlock(start, limit, word)) return false;
    TakeWord(word);
    return true;
  }
  const char* cursor = start;
  int32_t value = 0;
  char terminator = 0;
  if (!ScanPlainNumber(cursor, limit, value, terminator)) return false;
  // What ReadNumberToken leaves for a plain number: its value, no text.
  is_word_ = false;
  is_number_ = true;
  token_length_ = static_cast<size_t>(cursor - 1 - start);
  token_overflow_ = false;
  simple_integer_ = true;
  simple_value_ = value;
  cur_char_ = UpperCase(static_cast<uint8_t>(terminator));
  input_.ConsumeTo(cursor);
  return true;
}

void HpglReader::SkipToToken() {
  // The byte under the head is read already; it lies in the block unless the block has just been refilled.
  if (fast_pairs_ && !at_eof_) {
    const bool head_starts_token = StartsToken(static_cast<char>(cur_char_));
    if ((!head_starts_token || input_.Cursor() > input_.Start()) &&
        ReadTokenInBlock(input_.Cursor() - (head_starts_token ? 1 : 0))) {
      return;
    }
  }
  do {
    SkipSeparators();
    ReadToken();
  } while (!is_word_ && !is_number_ && !at_eof_);
}

int32_t HpglReader::WholeNumberToken() const {
  if (token_overflow_) throw RunTimeError::InvalidInteger(std::string(Token()) + "...");
  if (simple_integer_ && simple_value_ >= INT32_MIN && simple_value_ <= INT32_MAX) {
    return static_cast<int32_t>(simple_value_);
  }
  if (Token() == ".") return 0;
  return StrToInt(Token());
}

double HpglReader::RealNumberToken() const {
  if (token_overflow_) throw RunTimeError::InvalidFloat(std::string(Token()) + "...");
  if (simple_integer_) return static_cast<double>(simple_value_);
  return StrToFloat(Token());
}

void HpglReader::NoteSkippedCommand() {
  const std::string_view word = Token();
  // The word has been read, and the character after it too unless the file ended.
  const int64_t offset = input_.Offset() - (at_eof_ ? 0 : 1) - static_cast<int64_t>(word.size());
  AddReaderNote(notes_, 0, ReaderNoteKind::kCommandNotDrawn, {std::string(word), std::to_string(offset)});
}

void HpglReader::ParseCommand() {
  param_count_ = 0;
  // Most commands carry one plain pair ("PD 17, -14;", "PR;PD10,-27;"): it is read straight from the block.
  const bool head_in_block = fast_pairs_ && !at_eof_ && !IsLetter(cur_char_) &&
                             (!IsNumberChar(cur_char_) || input_.Cursor() > input_.Start());
  if (is_word_) {
    command_ = {token_[0], token_length_ > 1 ? token_[1] : '\0'};
    if (!IsQuietWord(Token())) NoteSkippedCommand();
    // The byte under the head starts the first number, or separates it from the word.
    if (head_in_block && ReadPlainPair(input_.Cursor() - (IsNumberChar(cur_char_) ? 1 : 0), 0, false)) return;
    SkipToToken();
    if (!is_number_) {
      if (relative_) x_ = y_ = 0;
      if (CommandIs('P', 'R')) {
        x_ = last_x_;
        y_ = last_y_;
      }
      return;
    }
    param1_ = RealNumberToken();
  } else if (!is_number_) {
    SkipToToken();
    return;
  } else {
    // A number in hand continuing the command, ended by a separator: the second may follow in the block.
    if (head_in_block && !IsNumberChar(cur_char_) && simple_integer_ && simple_value_ >= INT32_MIN &&
        simple_value_ <= INT32_MAX && ReadPlainPair(input_.Cursor(), static_cast<int32_t>(simple_value_), true)) {
      return;
    }
    param1_ = WholeNumberToken();
  }
  param_count_ = 1;
  SkipToToken();
  if (!is_number_) return;

  param2_ = WholeNumberToken();
  param_count_ = 2;
  const auto rounded_x = NearestInt32(param1_);
  if (!rounded_x) throw RunTimeError::InvalidInteger(std::to_string(param1_));
  x_ = *rounded_x;
  y_ = static_cast<int32_t>(param2_);
  SkipToToken();
}

bool HpglReader::ReadPenDownCommands(tfigura& figure) {
  // The word in hand must be all of "PD" or "PA", a plain pair following it in the block.
  if (!is_word_ || token_length_ != 2 || token_[0] != 'P' || (token_[1] != 'D' && token_[1] != 'A')) return false;
  if (at_eof_ || IsLetter(cur_char_)) return false;
  // The word in hand as it lies in the block: the byte after it was taken already, from this block.
  if (input_.Cursor() == input_.Start()) return false;
  WordInBlock word{'P', static_cast<uint8_t>(token_[1]), true, input_.Cursor() - 1};
  const char* const limit = input_.Limit();
  std::vector<TPlotPoint>& points = figure.points;
  int32_t rel_x = rel_x_, rel_y = rel_y_;
  TPlotPoint pair{}, point{};
  char command = 0;  // the word of the last command applied, none yet
  while (true) {
    // The pair begins at the byte after the word when that starts a number, else after it.
    const char* cursor = word.after + (IsNumberChar(UpperCase(static_cast<uint8_t>(*word.after))) ? 0 : 1);
    int32_t first = 0, second = 0;
    char terminator = 0;
    if (!ScanPlainNumber(cursor, limit, first, terminator) || StartsToken(terminator) ||
        !ScanPlainNumber(cursor, limit, second, terminator)) {
      break;
    }
    // What ApplyCommand does for either word while the pen is down.
    command = static_cast<char>(word.second);
    pair = point = {first, second};
    if (relative_) {
      rel_x = CheckedSum(rel_x, pair.x);
      rel_y = CheckedSum(rel_y, pair.y);
      point = {rel_x, rel_y};
    }
    if (points.empty() || points.back() != point) points.push_back(point);
    // The token after the pair: a run goes on while it is the next such word in the block.
    const bool word_follows = FindWordInBlock(StartsToken(terminator) ? cursor - 1 : cursor, limit, word);
    if (word_follows && IsPenDownWord(word)) continue;
    SetPenDownState(command, pair, point, rel_x, rel_y);
    if (word_follows) {
      TakeWord(word);
    } else {
      input_.ConsumeTo(cursor);
      cur_char_ = UpperCase(static_cast<uint8_t>(terminator));
      SkipToToken();
    }
    return true;
  }
  if (command == 0) return false;  // nothing read
  // A word of the run whose parameters are no plain pair: the general parse takes it from here.
  SetPenDownState(command, pair, point, rel_x, rel_y);
  TakeWord(word);
  return true;
}

void HpglReader::SetPenDownState(char command, TPlotPoint pair, TPlotPoint point, int32_t rel_x, int32_t rel_y) {
  command_ = {'P', command};
  param1_ = pair.x;
  param2_ = pair.y;
  param_count_ = 2;
  if (relative_) {
    rel_x_ = rel_x;
    rel_y_ = rel_y;
  }
  x_ = last_x_ = prev_x_ = point.x;
  y_ = last_y_ = prev_y_ = point.y;
}

void HpglReader::AccumulateRelative() {
  rel_x_ = CheckedSum(rel_x_, x_);
  rel_y_ = CheckedSum(rel_y_, y_);
  x_ = rel_x_;
  y_ = rel_y_;
}

void HpglReader::AppendPoint(tfigura& figure, int32_t x, int32_t y) { figure.points.push_back(TPlotPoint{x, y}); }

void HpglReader::ApplyCommand(tfigura& figure) {
  if (CommandIs('P', 'W')) {
    // A pen number that is missing or outside the table leaves the table alone.
    const auto pen = NearestInt32(param2_);
    if (param_count_ == 2 && pen && *pen >= 0 && *pen <= kHighestPen) {
      pen_table_[static_cast<size_t>(*pen)] = param1_;
    }
  }
  if (CommandIs('S', 'P')) {
    // A pen number outside the table keeps the current pen; the stroke still ends at the pen command.
    if (param_count_ == 0) {
      pen_ = 0;
    } else if (const auto pen = NearestInt32(param1_); pen && *pen >= 0 && *pen <= kHighestPen) {
      pen_ = *pen;
    }
    if (pen_down_) figure_done_ = true;
  }
  if (CommandIs('P', 'R')) {
    relative_ = true;
    AccumulateRelative();
  }
  if (CommandIs('P', 'D') || (CommandIs('P', 'A') && pen_down_)) {
    if (!pen_down_) {
      figure.pen = static_cast<uint8_t>(pen_);  // pen 256 keeps only its low byte, as the field is a byte
      figure.pen_value = pen_table_[static_cast<size_t>(pen_)];
      AppendPoint(figure, prev_x_, prev_y_);
    }
    pen_down_ = true;
    if (relative_) AccumulateRelative();
    if (figure.points.empty() || figure.points.back() != TPlotPoint{x_, y_}) AppendPoint(figure, x_, y_);
    last_x_ = x_;
    last_y_ = y_;
  }
  if (CommandIs('P', 'U') && pen_down_) {
    pen_down_ = false;
    figure_done_ = true;
    if (relative_) AccumulateRelative();
    last_x_ = x_;
    last_y_ = y_;
    relative_ = false;
  }
  if (CommandIs('C')) {
    if (!pen_down_) AppendPoint(figure, last_x_, last_y_);
    pen_down_ = true;
    AppendPoint(figure, x_, y_);
    last_x_ = x_;
    last_y_ = y_;
  }
  if (CommandIs('M')) {
    if (pen_down_) {
      pen_down_ = false;
      figure_done_ = true;
    }
    last_x_ = x_;
    last_y_ = y_;
  }
  if (CommandIs('P', 'A') && !pen_down_) {
    last_x_ = x_;
    last_y_ = y_;
    rel_x_ = rel_y_ = 0;
  }
  // "IP" and every other mnemonic act only through the pairs their parsing set.
}

void HpglReader::ReadNextFigure(tfigura& figure) {
  if (AtEnd()) {
    FinishReadFigure(figure);
    return;
  }
  figure.pen = static_cast<uint8_t>(pen_);
  pen_down_ = false;
  figure_done_ = false;
  // The points gather in a buffer kept from figure to figure and are handed out at their exact size: one
  // allocation per figure instead of one per doubling, and no room left over in the figures a drawing keeps.
  const bool gathered = figure.points.empty();
  if (gathered) figure.points.swap(gathering_);
  try {
    while (true) {
      if (command_pending_) {
        ApplyCommand(figure);
        command_pending_ = false;
      }
      prev_x_ = x_;
      prev_y_ = y_;
      if (fast_pairs_ && pen_down_ && (CommandIs('P', 'D') || CommandIs('P', 'A'))) {
        // A pen-down run, "PD x,y" after "PD x,y" or pairs after pairs, stays here until something else comes.
        do {
          if (!relative_) ReadAbsolutePairs(figure);
        } while (ReadPenDownCommands(figure));
      }
      if (!at_eof_) {
        ParseCommand();
        command_pending_ = true;
      }
      if (figure_done_ || AtEnd()) break;
    }
  } catch (...) {
    failed_ = true;
    throw;
  }
  if (gathered) {
    std::vector<TPlotPoint> exact(figure.points.begin(), figure.points.end());
    figure.points.clear();
    figure.points.swap(gathering_);
    figure.points = std::move(exact);
  }
  FinishReadFigure(figure);
}

}  // namespace varnholt
