// The container table: which reader a name and the first bytes choose, in order of precedence.
#include "metadata/containers.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

TEST(ContainersTest, NameAndFirstBytesChooseTheReaderInOrder) {
  const struct {
    std::string file_name;
    std::string head;
    std::string_view container;
  } cases[] = {
      {"IMG_1.crw", "8BPS\0\0\0\0", "CRW"},  // the name outranks every signature
      {"IMG_1.CRW", "", "CRW"},
      {"a.X3f", "8BPS\0\0\0\0", "X3F"},
      {"a.x3f", "FOVb", "X3F"},
      {"a.psd", "8BPS\0\x01", "PSD"},
      {"", "8B", "PSD"},
      {"a.pspimage", "Paint Sh", "PSP"},
      {"a.jpg", "\xFF\xD8\xFF\xE1", "JPEG"},
      {"a.thm", "\xFF\xD9\xFF\xE1", "TIFF"},
      {"a.raf", "FUJIFILM", "RAF"},
      {"a.mrw", std::string("\0MRM\0\0\0\x20", 8), "MRW"},
      {"a.mrw", std::string("\0NRM", 4), "TIFF"},
      {"a.nef", "II*\0\x08\0\0\0", "TIFF"},
      {"", std::string("\0\0\0\x18""ftypcrx \0\0\0\1", 16), "CR3"},  // found by its brand
      {"a.cr3", std::string("\0\0\0\x18""ftypisom", 12), "TIFF"},     // another brand
      {"a.cr3", std::string("\0\0\0\x18""ftypcr", 10), "TIFF"},       // cut before the brand ends
      {"a.rw2", std::string("IIU\0\x18\0\0\0", 8), "RW2"},
      {"a.rwl", std::string("IIU\0", 4), "RW2"},
      {"a.gif", "GIF89a", "TIFF"},
      {"a.psd", "8", "TIFF"},  // too few bytes for any signature
      {"", "", "TIFF"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ContainerFor(c.file_name, c.head).Name, c.container) << c.file_name;
}

}  // namespace
}  // namespace morvane
