#pragma once
// The machine configuration file (".qcc"): one "name := value" line per parameter, read by a lenient line parser.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "config/parameters.h"

namespace varnholt {

inline constexpr const char* kKonfigFileName = "Varnholt.qcc";

// Longest name and value a line keeps; longer ones are marked, so that no line costs more than these.
inline constexpr size_t kMaxLineName = 64;
inline constexpr size_t kMaxLineValue = 1024;

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
};

// Splits a stream into lines: each ends at a CR or an LF (consumed) or at the end of the stream, so CR LF
// gives an empty line after each line.
class KonfigLineReader {
 public:
  explicit KonfigLineReader(std::istream& in) : in_(in) {}
  // Reads the next line; false at the end of the stream.
  bool Next(KonfigLine& line);

 private:
  std::istream& in_;
};

// Gives the named parameter the line's value; a line that names no parameter is ignored. A number that is not
// one, or a choice that is not an integer, throws RunTimeError.
void ApplyKonfigLine(const KonfigLine& line, Configuration& config, char decimal_separator);

// Reads lines to the end of the stream and applies each; a failing line ends the load, values set before it stay.
void ReadKonfig(std::istream& in, Configuration& config, char decimal_separator);

// Reads an existing configuration file; throws RunTimeError when it cannot be opened or read, or a value fails.
void ReadKonfigFile(const std::string& path, Configuration& config, char decimal_separator);

// Writes the configuration file, replacing an old one only once the new one is complete; throws RunTimeError.
void WriteKonfigFile(const std::string& path, const Configuration& config, char decimal_separator);

}  // namespace varnholt
