#pragma once
// Reads HPGL plot files, one pen-down stroke per figure, coordinates taken over unscaled.

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>
#include <vector>

#include "files/byte_reader.h"
#include "files/figure_source.h"

namespace varnholt {

struct WordInBlock;

inline constexpr int32_t kHighestPen = 256;

class HpglReader final : public FigureSource {
 public:
  // Reads the first character; the stream must outlive the reader.
  explicit HpglReader(std::istream& stream);
  // The same reader without its quick paths for plain pairs; tests compare the two.
  HpglReader(std::istream& stream, bool fast_pairs) : HpglReader(stream) { fast_pairs_ = fast_pairs; }

  void ReadNextFigure(tfigura& figure) override;
  bool AtEnd() const override { return failed_ || (at_eof_ && !command_pending_); }

  // The pen table, for tests and for callers that show it.
  double PenValue(int32_t pen) const;
  // Every command read over without effect that may have drawn something (an unknown mnemonic, a circle or arc,
  // a label), with its offset in the file, in file order.
  const std::vector<ReaderNote>& Notes() const override { return notes_; }

 private:
  // A number longer than any coordinate stops growing here and then fails its conversion.
  static constexpr size_t kMaxTokenLength = 64;

  void NextChar();
  void ReadToken();
  void ReadNumberToken();
  void SkipSeparators();
  void SkipToToken();
  void ReadAbsolutePairs(tfigura& figure);
  bool ReadPlainPair(const char* from, int32_t first_in_hand, bool first_is_in_hand);
  // Reads and applies a run of "PD x,y" and "PA x,y" commands of plain numbers while the pen is down, exactly as
  // ParseCommand and ApplyCommand would, from the word in hand as long as each pair and the word after it lie whole
  // in the block in hand. False, with nothing read, when the first command is no such command.
  bool ReadPenDownCommands(tfigura& figure);
  // The state ApplyCommand leaves after a pen-down command of the given word and pair, drawn to point.
  void SetPenDownState(char command, TPlotPoint pair, TPlotPoint point, int32_t rel_x, int32_t rel_y);
  // Reads the next token as SkipToToken would when it is a word or a plain number (a sign and up to nine digits)
  // lying whole in the block, the byte after it too, scanning from `from`. False, with nothing read, for anything
  // else.
  bool ReadTokenInBlock(const char* from);
  // Makes a word found in the block the token in hand, the byte after it read.
  void TakeWord(const WordInBlock& word);
  void ParseCommand();
  // Notes the command word just read, one the reader passes over although it may draw.
  void NoteSkippedCommand();
  void ApplyCommand(tfigura& figure);
  std::string_view Token() const { return {token_.data(), token_length_}; }
  bool CommandIs(char a, char b = '\0') const { return command_[0] == a && command_[1] == b; }
  int32_t WholeNumberToken() const;
  double RealNumberToken() const;
  void AccumulateRelative();
  static void AppendPoint(tfigura& figure, int32_t x, int32_t y);

  ByteReader input_;
  uint8_t cur_char_ = ' ';
  std::array<char, 2> command_{'\0', '\0'};
  bool is_number_ = false;
  bool is_word_ = false;
  int32_t x_ = 0, y_ = 0;
  int32_t prev_x_ = 0, prev_y_ = 0;
  int32_t last_x_ = 0, last_y_ = 0;
  double param1_ = 0.0, param2_ = 0.0;
  int32_t param_count_ = 0;
  std::array<char, kMaxTokenLength> token_{};
  size_t token_length_ = 0;
  bool token_overflow_ = false;
  // Set while the token is a sign and digits whose value fits simple_value_.
  static constexpr int64_t kSimpleIntegerLimit = int64_t{1} << 40;
  bool simple_integer_ = false;
  int64_t simple_value_ = 0;
  bool pen_down_ = false;
  bool relative_ = false;
  int32_t rel_x_ = 0, rel_y_ = 0;
  int32_t pen_ = 0;
  std::array<double, kHighestPen + 1> pen_table_{};
  bool at_eof_ = false;
  bool figure_done_ = false;

  // A command parsed but not yet applied; the end of the file may arrive while its parameters are read.
  bool command_pending_ = false;
  bool failed_ = false;
  bool fast_pairs_ = true;
  std::vector<ReaderNote> notes_;
  std::vector<TPlotPoint> gathering_;  // empty between figures, its room kept
};

}  // namespace varnholt
