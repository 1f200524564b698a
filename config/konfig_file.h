#pragma once
// The machine configuration file (".qcc"): one "name := value" line per parameter, read by a lenient line parser.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "config/line_problems.h"
#include "config/parameters.h"

namespace varnholt {

inline constexpr const char* kKonfigFileName = "Varnholt.qcc";

// Longest name and value a line keeps; longer ones are marked, so that no line costs more than these.
inline constexpr size_t kMaxLineName = 64;
inline constexpr size_t kMaxLineValue = 1024;
// Characters of a line kept to show it in a message.
inline constexpr size_t kMaxLineText = 80;
// A configuration file is a few hundred bytes; a larger file than this is no configuration file.
inline constexpr size_t kMaxKonfigBytes = size_t{1} << 20;

// The decimal separator of the C library's current locale; '.' when it is not one usable character.
char LocaleDecimalSeparator();

// A number in the shortest plain decimal form of up to 15 significant digits with the given separator and no
// exponent (1000, 0.5, -2.75, 0.0000001).
std::string FormatKonfigNumber(double value, char decimal_separator);

// The value text of one parameter as its line holds it.
std::string KonfigValueText(const Configuration& config, Param param, char decimal_separator);

// The whole file: the 37 lines in file order, each ended by CR LF.
std::string KonfigText(const Configuration& config, char decimal_separator);

// One line as the parser splits it.
struct KonfigLine {
  std::string name;   // the characters before the first space, ':' or '='
  std::string value;  // the characters after it, without any space, ':' or '='
  bool name_cut = false;   // the name was longer than kMaxLineName (it names no parameter)
  bool value_cut = false;  // the value was longer than kMaxLineValue (only its start is kept)
  std::string text;        // the line as the file holds it, its first kMaxLineText characters and "..." when longer
};

// Splits a stream into lines: each ends at a CR or an LF (consumed) or at the end of the stream, so CR LF
// gives an empty line after each line.
class KonfigLineReader {
 public:
  explicit KonfigLineReader(std::istream& in) : in_(in) {}
  // Reads the next line; false at the end of the stream.
  bool Next(KonfigLine& line);
  // The number of the line last read, counted from 1 as an editor counts them: the empty line between a CR and its
  // LF belongs to the line the pair ends.
  size_t number() const { return number_; }
  // The line last read ended with a CR or an LF (not at the end of the stream).
  bool ended() const { return end_ != 0; }

 private:
  std::istream& in_;
  size_t number_ = 0;
  char end_ = '\n';
};

// What a load found wrong: the lines refused or cut short, and the parameters no line gave a value, which keep the
// values they had (the defaults at start). A missing kerf width is no fault: files of 36 lines are written without
// it (it is listed only when the load is not whole anyway). The load is whole when both lists are empty.
struct KonfigLoad {
  std::vector<LineProblem> problems;  // refused values (kBadValue), a last line without its end (kCutShort)
  std::vector<Param> unread;  // in file order, a parameter whose only lines were refused among them

  bool Whole() const { return problems.empty() && unread.empty(); }
};

// The findings as the command line prints them: each problem (LineProblemText), then "PATH: no value read for
// skala, feKalibracjaX (they keep their values)". Nothing for a whole load.
std::vector<std::string> KonfigLoadLines(const std::string& path, const KonfigLoad& load);
// The names of the parameters that took no value, separated by ", ".
std::string UnreadNames(const KonfigLoad& load);

// Gives the named parameter the line's value; a line that names no parameter is ignored. A number that is not
// one, or a choice that is not an integer, throws RunTimeError quoting the value as the line holds it.
void ApplyKonfigLine(const KonfigLine& line, Configuration& config, char decimal_separator);

// Reads lines to the end of the stream and applies each; a refused line is noted and the load goes on, so every
// line that can be taken is taken.
KonfigLoad ReadKonfig(std::istream& in, Configuration& config, char decimal_separator);

// Reads an existing configuration file as ReadKonfig does. Throws RunTimeError, naming the file, when it is missing,
// is no regular file (a pipe or a device is refused at once), is larger than kMaxKonfigBytes or cannot be read;
// nothing is set then.
KonfigLoad ReadKonfigFile(const std::string& path, Configuration& config, char decimal_separator);

// Writes the configuration file, replacing an old one only once the new one is complete; throws RunTimeError.
void WriteKonfigFile(const std::string& path, const Configuration& config, char decimal_separator);

}  // namespace varnholt
