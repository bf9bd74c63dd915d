// Bounded reads of memory and file streams, and the byte-order reads.
#include "platform/stream.h"

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/errors.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

TEST(StreamTest, ReadsStopAtTheEnd) {
  TMemoryStream s(std::string("\x01\x02\x03", 3));
  s.Seek(2);
  uint8_t b[4] = {};
  EXPECT_EQ(s.Read(b, 4), 1u);
  s.Seek(100);
  EXPECT_EQ(s.Read(b, 4), 0u);
  s.Seek(1);
  EXPECT_THROW(s.ReadBuffer(b, 3), EReadError);
  EXPECT_EQ(s.Position(), 1);  // a failed read leaves the position
  s.Seek(-5);
  EXPECT_EQ(s.Position(), 0);
}

TEST(StreamTest, ByteOrderReads) {
  TMemoryStream s(std::string("\x12\x34\x56\x78", 4));
  EXPECT_EQ(ReadDWord(s, tboMotorola), 0x12345678u);
  s.Seek(0);
  EXPECT_EQ(ReadDWord(s, tboIntel), 0x78563412u);
  s.Seek(0);
  EXPECT_EQ(ReadWord(s, tboDerived), 0x3412u);
  s.Seek(3);
  EXPECT_THROW(ReadWord(s, tboIntel), EReadError);
}

TEST(StreamTest, CopyFromTakesOnlyWhatExists) {
  TMemoryStream source(std::string(10, 'x'));
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, int64_t{1} << 40), 10);
  EXPECT_EQ(target.Size(), 10);
}

TEST(StreamTest, FileStreamMatchesTheFileAcrossItsBuffer) {
  testing::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i * 7);
  TFileStream file(dir.Write("f.bin", bytes));
  EXPECT_EQ(file.Size(), 100000);
  for (int64_t at : {0, 16380, 16383, 50000, 99998}) {
    file.Seek(at);
    char got[8] = {};
    const size_t n = file.Read(got, 8);
    EXPECT_EQ(std::string(got, n), bytes.substr(static_cast<size_t>(at), 8)) << at;
  }
  file.Seek(10);
  std::string large(20000, '\0');
  EXPECT_EQ(file.Read(large.data(), large.size()), 20000u);
  EXPECT_EQ(large, bytes.substr(10, 20000));
  EXPECT_THROW(TFileStream(dir.Path() + "/missing"), EMorvaneError);
  EXPECT_THROW(TFileStream{dir.Path()}, EMorvaneError);
}

}  // namespace
}  // namespace morvane
