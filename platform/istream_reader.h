// A COM stream as a byte stream: what a handler initialised with a stream reads through, with
// the same bounds as a file. The size is taken once, when the reader is made; reads go through
// a small buffer so that a directory walk's many small reads do not each cross into the stream.
// The reader holds a reference to the stream for its life and never writes to it.
#pragma once

#include <memory>

#include "platform/stream.h"
#include "platform/windows_api.h"

namespace morvane {

class TIStreamReader : public TStream {
 public:
  // Throws EReadError when the stream tells no size.
  explicit TIStreamReader(IStream* stream);
  ~TIStreamReader() override;
  TIStreamReader(const TIStreamReader&) = delete;
  TIStreamReader& operator=(const TIStreamReader&) = delete;

  int64_t Size() const override { return size_; }
  // A read of the stream failed (and yielded no bytes): what was read is not the whole file.
  bool Failed() const { return failed_; }

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override;

 private:
  size_t ReadFromStream(int64_t offset, void* buffer, size_t count);

  IStream* stream_;
  int64_t size_ = 0;
  bool failed_ = false;
  static constexpr size_t kBufferSize = 16384;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t buffer_offset_ = 0;
  size_t buffer_length_ = 0;
};

}  // namespace morvane
