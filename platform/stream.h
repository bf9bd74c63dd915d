// Byte streams: the one way the logic reads untrusted bytes. Every read is bounded by the bytes
// that exist; a position may be set anywhere at or after 0, and reading there simply yields
// nothing. A file stream reads through a small buffer, so the many 2- and 4-byte reads of a
// directory walk do not each cost a system call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class TStream {
 public:
  virtual ~TStream() = default;

  virtual int64_t Size() const = 0;
  int64_t Position() const { return position_; }
  // Positions below 0 are clamped to 0; positions past the end are allowed.
  void Seek(int64_t position) { position_ = position < 0 ? 0 : position; }
  void Skip(int64_t count) { Seek(position_ + count); }
  int64_t Remaining() const { return position_ < Size() ? Size() - position_ : 0; }

  // Reads up to count bytes at the position and advances by the bytes read.
  size_t Read(void* buffer, size_t count);
  // Reads exactly count bytes or throws EReadError (the position is then unchanged).
  void ReadBuffer(void* buffer, size_t count);
  // Reads up to count bytes into a string (grown only by the bytes that really come).
  std::string ReadString(size_t count);

 protected:
  virtual size_t ReadAt(int64_t offset, void* buffer, size_t count) = 0;

 private:
  int64_t position_ = 0;
};

// An in-memory, growable stream. Writes past the end extend it with zero bytes in between.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  explicit TMemoryStream(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}

  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool Empty() const { return bytes_.empty(); }

  void Write(const void* buffer, size_t count);
  void WriteByte(uint8_t value) { Write(&value, 1); }
  void Clear();
  void SetSize(size_t size) { bytes_.resize(size); }

  // Copies up to count bytes from the source's position, in chunks, so that the memory taken
  // grows only with the bytes that really exist. Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
  // Replaces the content by a copy of another memory stream, positioned at 0.
  void Assign(const TMemoryStream& source);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& MutableBytes() { return bytes_; }
  std::string_view View() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override;

 private:
  std::vector<uint8_t> bytes_;
};

// A read-only view of a file. Other processes may read and write the file while it is open;
// the size is taken when the file is opened.
class TFileStream : public TStream {
 public:
  // Throws EMorvaneError when the file cannot be opened for reading.
  explicit TFileStream(const std::string& path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Size() const override { return size_; }

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override;

 private:
  size_t ReadFromFile(int64_t offset, void* buffer, size_t count);

#if defined(_WIN32)
  void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
  int fd_ = -1;
#endif
  int64_t size_ = 0;
  static constexpr size_t kBufferSize = 16384;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t buffer_offset_ = 0;
  size_t buffer_length_ = 0;
};

}  // namespace morvane
