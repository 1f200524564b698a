#include "files/byte_reader.h"

#include "geometry/run_time_error.h"

namespace varnholt {

bool ByteReader::Refill() {
  if (!stream_.good()) return false;
  stream_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  const std::streamsize got = stream_.gcount();
  if (stream_.bad()) throw RunTimeError::Io(30);  // read fault
  taken_before_ += static_cast<int64_t>(end_);
  pos_ = 0;
  end_ = static_cast<size_t>(got);
  return end_ > 0;
}

}  // namespace varnholt
