#include "platform/istream_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/errors.h"

namespace morvane {

namespace {

std::optional<int64_t> StreamSize(IStream* stream) {
  STATSTG stat{};
  if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
      stat.cbSize.QuadPart <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
    return static_cast<int64_t>(stat.cbSize.QuadPart);
  LARGE_INTEGER zero{};
  ULARGE_INTEGER end{};
  if (SUCCEEDED(stream->Seek(zero, STREAM_SEEK_END, &end)) &&
      end.QuadPart <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
    return static_cast<int64_t>(end.QuadPart);
  return std::nullopt;
}

}  // namespace

TIStreamReader::TIStreamReader(IStream* stream) : stream_(stream), buffer_(new uint8_t[kBufferSize]) {
  if (stream_ == nullptr) throw EReadError("No stream");
  const std::optional<int64_t> size = StreamSize(stream_);
  if (!size) throw EReadError("The stream tells no size");
  size_ = *size;
  stream_->AddRef();
}

TIStreamReader::~TIStreamReader() { stream_->Release(); }

size_t TIStreamReader::ReadFromStream(int64_t offset, void* buffer, size_t count) {
  LARGE_INTEGER position{};
  position.QuadPart = offset;
  if (FAILED(stream_->Seek(position, STREAM_SEEK_SET, nullptr))) {
    failed_ = true;
    return 0;
  }
  size_t done = 0;
  while (done < count) {
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(count - done, 1u << 20));
    ULONG read = 0;
    const HRESULT result = stream_->Read(static_cast<uint8_t*>(buffer) + done, chunk, &read);
    if (FAILED(result) || read > chunk) failed_ = true;
    if (FAILED(result) || read == 0 || read > chunk) break;
    done += read;
  }
  return done;
}

size_t TIStreamReader::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (offset >= size_ || count == 0) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size_ - offset));
  if (count >= kBufferSize) return ReadFromStream(offset, buffer, count);
  if (offset < buffer_offset_ || offset + static_cast<int64_t>(count) > buffer_offset_ + static_cast<int64_t>(buffer_length_)) {
    buffer_offset_ = offset;
    buffer_length_ = ReadFromStream(offset, buffer_.get(), static_cast<size_t>(std::min<int64_t>(kBufferSize, size_ - offset)));
  }
  const int64_t start = offset - buffer_offset_;
  if (start < 0 || start >= static_cast<int64_t>(buffer_length_)) return 0;
  const size_t available = std::min(count, buffer_length_ - static_cast<size_t>(start));
  std::memcpy(buffer, buffer_.get() + start, available);
  return available;
}

}  // namespace morvane
