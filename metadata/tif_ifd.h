// One image file directory: its tags in file order, its sub-directory chains and its embedded
// thumbnail. Reading is bounded: a rejected count, a value outside the stream, a sub-directory
// chain longer than 129 directories, a directory already read in the walk all end quietly with
// what was read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "metadata/tif_tag.h"
#include "metadata/xom.h"
#include "platform/byte_order.h"
#include "platform/stream.h"

namespace morvane {

class TTifIFD;

class TTifIFDs : public TXOMClass<TTifIFD> {
 public:
  // The first tag with the number in the directories, in collection order (sub-directories
  // are not searched).
  TTifTag* FindTag(int tag_number) const;
  void Assign(const TTifIFDs& source);
};

class TTifIFD : public TXOMObject {
 public:
  TTifIFD();
  ~TTifIFD() override;

  TTifTags Tags{this};
  std::string IFDType;
  std::string CameraMake;
  TTifIFDs SubIFDs;
  TTifImageDataType ImageDataType = tidtStriped;
  TMemoryStream ThumbDataStream;
  std::unique_ptr<TTifTags> Strips;

  // Reads the directory at the stream's position; returns the offset of the next directory
  // (0 when there is none or the directory was rejected). A walk shares one budget across all
  // its directories; none given, the directory starts a budget of its own.
  uint32_t ReadIFD(const std::string& file_name, TStream& stream, const TTifTags* tag_filter,
                   int32_t max_value_size, bool full_dng, TStream* value_stream,
                   bool skip_thumbnail, int64_t base_offset, TTifByteOrder byte_order,
                   TWalkBudget* budget = nullptr);

  TTifTag* FindTag(int tag_number) const { return Tags.FindTag(tag_number); }
  // Copies the JPEG or TIFF thumbnail that tags 513/514 name into `target`, charging its bytes
  // to the budget when one is given; false when there is none or the budget cannot pay for it.
  bool ReadThumbnail(TStream* stream, TMemoryStream* target, int64_t base_offset,
                     TWalkBudget* budget = nullptr);
  void BuildStrips(const std::string& file_name);

  // Empties Tags, ThumbDataStream, CameraMake and IFDType (not SubIFDs, ImageDataType, Strips).
  void Clear();
  void Assign(const TTifIFD& source);
};


}  // namespace morvane
