#include "services/size_text.h"

#include <filesystem>
#include <system_error>

namespace varnholt {
namespace {

// n / d rounded to the nearest integer, halves to the even neighbour, exactly.
uint64_t DivideNearest(uint64_t n, uint64_t d) {
  const uint64_t quotient = n / d;
  const uint64_t twice_remainder = 2 * (n % d);
  if (twice_remainder > d || (twice_remainder == d && quotient % 2 == 1)) return quotient + 1;
  return quotient;
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  constexpr uint64_t kKilo = 1024;
  constexpr uint64_t kMega = 1024 * 1024;
  if (bytes < kKilo) return std::to_string(bytes) + "b";
  if (bytes < kMega) return std::to_string(DivideNearest(bytes, kKilo)) + "KB";
  return std::to_string(DivideNearest(bytes, kMega)) + "MB";
}

std::optional<std::string> FileSizeText(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  return SizeText(size);
}

}  // namespace varnholt
