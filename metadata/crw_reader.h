// The CRW reader: the camera make and model of a CRW raw file, and nothing else of it. The two
// texts are read at fixed places of the last record before the heap's directory; when they are
// not there (a heap laid out otherwise), the make-and-model record is looked up in the heap.
#pragma once

#include <cstdint>
#include <string>

#include "platform/stream.h"

namespace morvane {

class TTif;

class TCRWExif {
 public:
  // Loads the block from `file` (a whole CRW file, read from its start) and decodes make and
  // model. False when the file could not be read or the block does not lie in it; the texts
  // then stay empty.
  bool LoadFromStream(TStream& file);
  // Writes make (271) and model (272) into IFD0 of `tif`, after making sure it has the EXIF
  // pointer tag.
  void CopyTo(TTif& tif) const;

  const std::string& Make() const { return make_.Text; }
  const std::string& Model() const { return model_.Text; }

 private:
  struct TTextField {
    int32_t Position;
    int32_t Size;
    std::string Text;
  };

  bool LoadBlock(TStream& file);
  void FindMakeModelRecord(TStream& file);
  void DecodeFields();
  void DecodeText(TTextField& field);

  TMemoryStream block_;
  TTextField make_{498, 6, {}};
  TTextField model_{504, 25, {}};
};

// What the metadata reader does for a ".CRW" file: load from `file`, copy into `tif`.
void ReadCrw(TTif& tif, TStream& file);

}  // namespace morvane
