#include "config/konfig_file.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <sstream>

#include "config/file_read.h"
#include "config/file_write.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A separator that the line parser or the number reader would take for something else cannot be used.
bool UsableSeparator(char c) {
  return c != '\0' && c != ' ' && c != ':' && c != '=' && c != '+' && c != '-' && c != '\r' && c != '\n' &&
         !IsDigit(c) && static_cast<unsigned char>(c) < 0x80;
}

// The leading run of sign, digit and separator characters.
std::string_view LeadingNumber(std::string_view value, char separator) {
  size_t end = 0;
  while (end < value.size()) {
    const char c = value[end];
    if (!(c == '+' || c == '-' || IsDigit(c) || c == separator)) break;
    ++end;
  }
  return value.substr(0, end);
}

// A real number: an optional sign, digits and at most one separator, with at least one digit.
double ReadReal(std::string_view text, char separator) {
  std::string plain;
  plain.reserve(text.size());
  bool digits = false;
  bool point = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits = true;
      plain.push_back(c);
    } else if (c == separator && !point) {
      point = true;
      plain.push_back('.');
    } else if ((c == '-' || c == '+') && i == 0) {
      if (c == '-') plain.push_back('-');
    } else {
      throw RunTimeError::InvalidFloat(text);
    }
  }
  if (!digits) throw RunTimeError::InvalidFloat(text);
  double value = 0.0;
  const char* last = plain.data() + plain.size();
  const auto [end, error] = std::from_chars(plain.data(), last, value, std::chars_format::fixed);
  if (error != std::errc() || end != last || !std::isfinite(value)) throw RunTimeError::InvalidFloat(text);
  return value;
}

// A decimal integer within the int32 range, with an optional sign.
int ReadInteger(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+') throw RunTimeError::InvalidInteger(text);
  int32_t value = 0;
  const char* last = digits.data() + digits.size();
  const auto [end, error] = std::from_chars(digits.data(), last, value);
  if (error != std::errc() || end != last) throw RunTimeError::InvalidInteger(text);
  return value;
}

FlagState ReadFlag(const KonfigLine& line) {
  if (line.value_cut) return FlagState::kUnchecked;
  if (line.value == "cbGrayed") return FlagState::kGrayed;
  if (line.value == "cbChecked") return FlagState::kChecked;
  return FlagState::kUnchecked;
}

std::string_view FlagText(FlagState state) {
  switch (state) {
    case FlagState::kChecked:
      return "cbChecked";
    case FlagState::kGrayed:
      return "cbGrayed";
    default:
      return "cbUnchecked";
  }
}

}  // namespace

char LocaleDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr) return '.';
  const char* point = conventions->decimal_point;
  // A separator of several bytes (a multibyte character) cannot be written as the one character lines use.
  if (point[0] == '\0' || point[1] != '\0' || !UsableSeparator(point[0])) return '.';
  return point[0];
}

std::string FormatKonfigNumber(double value, char decimal_separator) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  // Fifteen significant digits in scientific form, then laid out without an exponent: an exponent would be cut
  // off by the reader and change the value.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  std::string_view mantissa = text.substr(0, e);
  const bool negative = !mantissa.empty() && mantissa.front() == '-';
  if (negative) mantissa.remove_prefix(1);
  std::string digits;
  for (char c : mantissa) {
    if (IsDigit(c)) digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::string_view exponent_text = text.substr(e + 1);
  if (!exponent_text.empty() && exponent_text.front() == '+') exponent_text.remove_prefix(1);
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);

  std::string out = negative ? "-" : "";
  if (exponent < 0) {
    out += '0';
    out += decimal_separator;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const auto whole = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    out += digits;
    out.append(whole - digits.size(), '0');
  } else {
    out.append(digits, 0, whole);
    out += decimal_separator;
    out.append(digits, whole, std::string::npos);
  }
  return out;
}

std::string KonfigValueText(const Configuration& config, Param param, char decimal_separator) {
  switch (SpecOf(param).kind) {
    case ParamKind::kNumber:
    case ParamKind::kUnitNumber:
      return FormatKonfigNumber(config.Number(param), decimal_separator);
    case ParamKind::kFlag:
      return std::string(FlagText(config.Flag(param)));
    case ParamKind::kChoice:
      return std::to_string(config.Choice(param));
  }
  return {};
}

std::string KonfigText(const Configuration& config, char decimal_separator) {
  std::string text;
  for (const ParamSpec& spec : ParamTable()) {
    text += spec.name;
    text += " := ";
    text += KonfigValueText(config, spec.id, decimal_separator);
    text += "\r\n";
  }
  return text;
}

bool KonfigLineReader::Next(KonfigLine& line) {
  line = KonfigLine{};
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr) return false;
  using Traits = std::char_traits<char>;
  int next = buffer->sgetc();
  if (Traits::eq_int_type(next, Traits::eof())) return false;
  bool in_name = true;
  bool any = false;
  char end = 0;
  for (;;) {
    next = buffer->sbumpc();
    if (Traits::eq_int_type(next, Traits::eof())) break;
    const char c = Traits::to_char_type(next);
    if (c == '\r' || c == '\n') {
      end = c;
      break;
    }
    any = true;
    if (line.text.size() < kMaxLineText) {
      line.text.push_back(c);
    } else if (line.text.size() == kMaxLineText) {
      line.text += "...";
    }
    if (c == ' ' || c == ':' || c == '=') {
      in_name = false;
    } else if (in_name) {
      if (line.name.size() < kMaxLineName) {
        line.name.push_back(c);
      } else {
        line.name_cut = true;
      }
    } else if (line.value.size() < kMaxLineValue) {
      line.value.push_back(c);
    } else {
      line.value_cut = true;
    }
  }
  // The LF of a CR LF pair ends the line the CR ended.
  if (any || !(end_ == '\r' && end == '\n')) ++number_;
  end_ = end;
  return true;
}

void ApplyKonfigLine(const KonfigLine& line, Configuration& config, char decimal_separator) {
  if (line.name_cut) return;
  const std::optional<Param> param = FindParam(line.name);
  if (!param) return;
  // A refused value is quoted as the line holds it: the leading number of "~3000" is empty, which says nothing.
  const auto shown = [&line] { return line.value_cut ? line.value.substr(0, 40) + "..." : line.value; };
  switch (SpecOf(*param).kind) {
    case ParamKind::kNumber:
    case ParamKind::kUnitNumber: {
      const std::string_view number = LeadingNumber(line.value, decimal_separator);
      // A number run that fills the kept part may go on beyond it: too long to be a number of this file.
      if (line.value_cut && number.size() == line.value.size()) throw RunTimeError::InvalidFloat(shown());
      double value = 0.0;
      try {
        value = ReadReal(number, decimal_separator);
      } catch (const RunTimeError&) {
        throw RunTimeError::InvalidFloat(shown());
      }
      config.SetNumber(*param, value);
      break;
    }
    case ParamKind::kFlag:
      config.SetFlag(*param, ReadFlag(line));
      break;
    case ParamKind::kChoice:
      if (line.value_cut) throw RunTimeError::InvalidInteger(shown());
      config.SetChoice(*param, ReadInteger(line.value));
      break;
  }
}

KonfigLoad ReadKonfig(std::istream& in, Configuration& config, char decimal_separator) {
  KonfigLoad load;
  std::array<bool, kParamCount> taken{};
  KonfigLineReader reader(in);
  KonfigLine line;
  while (reader.Next(line)) {
    try {
      ApplyKonfigLine(line, config, decimal_separator);
      if (!line.name_cut) {
        if (const std::optional<Param> param = FindParam(line.name)) taken[IndexOf(*param)] = true;
      }
    } catch (const RunTimeError& error) {
      load.problems.push_back({reader.number(), line.text, error.what(), LineFault::kBadValue});
      continue;
    }
    // Every line the program writes ends with CR LF: a last line without its end is where a file was cut.
    if (!reader.ended()) load.problems.push_back({reader.number(), line.text, "", LineFault::kCutShort});
  }
  for (const ParamSpec& spec : ParamTable()) {
    if (!taken[IndexOf(spec.id)] && spec.id != Param::KerfWidth) load.unread.push_back(spec.id);
  }
  // Files of 36 lines have no kerf line; in a file that did not load whole its absence is one more loss.
  if (!taken[IndexOf(Param::KerfWidth)] && !load.Whole()) load.unread.push_back(Param::KerfWidth);
  return load;
}

std::vector<std::string> KonfigLoadLines(const std::string& path, const KonfigLoad& load) {
  std::vector<std::string> lines;
  for (const LineProblem& problem : load.problems) lines.push_back(LineProblemText(path, problem));
  if (!load.unread.empty()) {
    lines.push_back(path + ": no value read for " + UnreadNames(load) + " (they keep their values)");
  }
  return lines;
}

std::string UnreadNames(const KonfigLoad& load) {
  std::string names;
  for (Param param : load.unread) names += (names.empty() ? "" : ", ") + std::string(SpecOf(param).name);
  return names;
}

KonfigLoad ReadKonfigFile(const std::string& path, Configuration& config, char decimal_separator) {
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxKonfigBytes);
  if (!bytes) ThrowFileError(ENOENT, path);
  std::istringstream in(*bytes);
  return ReadKonfig(in, config, decimal_separator);
}

void WriteKonfigFile(const std::string& path, const Configuration& config, char decimal_separator) {
  WriteFileReplacing(path, KonfigText(config, decimal_separator));
}

}  // namespace varnholt
