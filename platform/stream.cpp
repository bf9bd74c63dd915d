#include "platform/stream.h"

#if defined(_WIN32)
#include "platform/file_path.h"
#include "platform/windows_api.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/errors.h"

namespace morvane {

size_t TStream::Read(void* buffer, size_t count) {
  if (count == 0 || position_ >= Size()) return 0;
  const size_t available = static_cast<size_t>(Size() - position_);
  const size_t got = ReadAt(position_, buffer, std::min(count, available));
  position_ += static_cast<int64_t>(got);
  return got;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  const int64_t start = position_;
  if (Read(buffer, count) != count) {
    position_ = start;
    throw EReadError();
  }
}

std::string TStream::ReadString(size_t count) {
  const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), Remaining()));
  std::string text(n, '\0');
  text.resize(Read(text.data(), n));
  return text;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  const size_t at = static_cast<size_t>(Position());
  if (at + count > bytes_.size()) bytes_.resize(at + count);
  std::memcpy(bytes_.data() + at, buffer, count);
  Seek(Position() + static_cast<int64_t>(count));
}

void TMemoryStream::Clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  Seek(0);
}

int64_t TMemoryStream::CopyFrom(TStream& source, int64_t count) {
  constexpr size_t kChunk = 65536;
  uint8_t chunk[kChunk];
  int64_t copied = 0;
  while (copied < count) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(count - copied, kChunk));
    const size_t got = source.Read(chunk, want);
    if (got == 0) break;
    Write(chunk, got);
    copied += static_cast<int64_t>(got);
  }
  return copied;
}

void TMemoryStream::Assign(const TMemoryStream& source) {
  if (&source != this) bytes_ = source.bytes_;
  Seek(0);
}

size_t TMemoryStream::ReadAt(int64_t offset, void* buffer, size_t count) {
  std::memcpy(buffer, bytes_.data() + offset, count);
  return count;
}

#if defined(_WIN32)

TFileStream::TFileStream(const std::string& path) {
  handle_ = CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) throw EMorvaneError("Cannot open file \"" + path + "\".");
  LARGE_INTEGER size{};
  if (GetFileType(handle_) != FILE_TYPE_DISK || GetFileSizeEx(handle_, &size) == FALSE) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    throw EMorvaneError("Cannot open file \"" + path + "\". Not a regular file");
  }
  size_ = size.QuadPart;
  buffer_ = std::make_unique<uint8_t[]>(kBufferSize);
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

size_t TFileStream::ReadFromFile(int64_t offset, void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    OVERLAPPED at{};
    const uint64_t position = static_cast<uint64_t>(offset) + done;
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    if (ReadFile(handle_, out + done, want, &got, &at) == FALSE || got == 0) break;
    done += got;
  }
  return done;
}

#else

TFileStream::TFileStream(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw EMorvaneError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EMorvaneError("Cannot open file \"" + path + "\". Not a regular file");
  }
  size_ = st.st_size;
  buffer_ = std::make_unique<uint8_t[]>(kBufferSize);
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t TFileStream::ReadFromFile(int64_t offset, void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    const ssize_t got = ::pread(fd_, out + done, count - done, offset + static_cast<int64_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

#endif

size_t TFileStream::ReadAt(int64_t offset, void* buffer, size_t count) {
  // Large reads go straight to the file; small ones are served from the buffer.
  if (count >= kBufferSize / 2) return ReadFromFile(offset, buffer, count);
  if (offset < buffer_offset_ ||
      offset + static_cast<int64_t>(count) > buffer_offset_ + static_cast<int64_t>(buffer_length_)) {
    buffer_offset_ = offset;
    buffer_length_ = ReadFromFile(offset, buffer_.get(), kBufferSize);
  }
  const size_t available =
      offset >= buffer_offset_ + static_cast<int64_t>(buffer_length_)
          ? 0
          : static_cast<size_t>(buffer_offset_ + static_cast<int64_t>(buffer_length_) - offset);
  const size_t n = std::min(count, available);
  std::memcpy(buffer, buffer_.get() + (offset - buffer_offset_), n);
  return n;
}

}  // namespace morvane
