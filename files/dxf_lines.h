#pragma once
// Line-by-line reading of a drawing exchange file: CR LF, LF and CR line ends alike, group-code/value parity.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "files/byte_reader.h"

namespace varnholt {

// Drops blanks and control characters at both ends.
std::string_view TrimText(std::string_view text);

// A value line as a real: "," counts as the decimal point, blanks are trimmed, an empty line is 0. Throws
// "'%s' is not a valid floating point value". A line cut at the length limit never converts.
double DxfReal(std::string_view text, bool cut = false);
// A value line as an int32, trimmed, an empty line is 0. Throws "'%s' is not a valid integer value".
int32_t DxfInteger(std::string_view text, bool cut = false);

class DxfLineReader {
 public:
  // Lines longer than this are cut; no value or name the reader looks at comes near it.
  static constexpr size_t kMaxLineLength = 512;

  // The stream must outlive the reader.
  explicit DxfLineReader(std::istream& stream);

  // Reads one line without its line end and flips the parity. At the end of the file the text read so far.
  std::string_view ReadLine();

  std::string_view Line() const { return line_; }
  // True when the line just read stood where a group code belongs.
  bool LineWasCode() const { return line_was_code_; }
  // True when the line just read was longer than kMaxLineLength and was cut.
  bool LineWasCut() const { return cut_; }
  // Makes the next line a group-code line (after a section name).
  void ExpectCodeNext() { code_next_ = true; }
  // True once no byte is left after the last line read.
  bool AtEof() const { return at_eof_; }
  int64_t line_count() const { return line_count_; }

 private:
  ByteReader input_;
  std::string line_;
  bool cut_ = false;
  bool code_next_ = true;
  bool line_was_code_ = false;
  bool at_eof_ = false;
  int64_t line_count_ = 0;
};

}  // namespace varnholt
