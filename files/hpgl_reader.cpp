#include "files/hpgl_reader.h"

#include <algorithm>
#include <string>

#include "files/figure_finish.h"
#include "files/number_text.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

bool IsNumberChar(uint8_t c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
bool IsLetter(uint8_t c) { return c >= 'A' && c <= 'Z'; }

uint8_t UpperCase(int c) {
  const auto byte = static_cast<uint8_t>(c);
  return (byte >= 'a' && byte <= 'z') ? static_cast<uint8_t>(byte - 'a' + 'A') : byte;
}

// The int32 result of an accumulation, or the conversion error for a coordinate beyond the 32-bit range.
int32_t CheckedSum(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + int64_t{b};
  if (sum < INT32_MIN || sum > INT32_MAX) throw RunTimeError::InvalidInteger(std::to_string(sum));
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
    is_number_ = true;
    token_overflow_ = false;
    do {
      if (token_length_ < kMaxTokenLength) {
        token_[token_length_++] = static_cast<char>(cur_char_);
      } else {
        token_overflow_ = true;
      }
      NextChar();
    } while (!at_eof_ && IsNumberChar(cur_char_));
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

void HpglReader::SkipToToken() {
  do {
    ReadToken();
  } while (!is_word_ && !is_number_ && !at_eof_);
}

int32_t HpglReader::WholeNumberToken() const {
  if (token_overflow_) throw RunTimeError::InvalidInteger(std::string(Token()) + "...");
  if (Token() == ".") return 0;
  return StrToInt(Token());
}

double HpglReader::RealNumberToken() const {
  if (token_overflow_) throw RunTimeError::InvalidFloat(std::string(Token()) + "...");
  return StrToFloat(Token());
}

void HpglReader::ParseCommand() {
  param_count_ = 0;
  if (is_word_) {
    command_ = {token_[0], token_length_ > 1 ? token_[1] : '\0'};
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
  try {
    while (true) {
      if (command_pending_) {
        ApplyCommand(figure);
        command_pending_ = false;
      }
      prev_x_ = x_;
      prev_y_ = y_;
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
  FinishReadFigure(figure);
}

}  // namespace varnholt
