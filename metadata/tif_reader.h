// TTif: the metadata of one image file and the only way in to it. Open recognises the container
// (TIFF-based raw, JPEG/THM, RAF, MRW, CRW, CR3, X3F, PSD, PSP), walks the TIFF structure with its
// EXIF, interoperability, GPS, IPTC and XMP pointers, reads the maker notes of ten makers and
// picks up an XMP sidecar. Every read is bounded by the bytes of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/iptc.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_tag.h"
#include "metadata/xom.h"
#include "platform/stream.h"

namespace morvane {

// What the budgets of one read let it do: the work that bounds the time a file takes, whatever
// it holds. Open starts it afresh; every walk of the read adds to it.
struct TReadWork {
  // TIFF directories read by the walks of the file's TIFF structures, and the value bytes they
  // copied. Maker-note directories are read on budgets of their own and are not counted.
  int Directories = 0;
  int64_t ValueBytes = 0;
  int64_t SectionWork = 0;  // bytes of work the X3F section walk was granted
};

class TTif : public TXOMObject {
 public:
  TTif();
  ~TTif() override;

  std::string FileName;
  TTifByteOrder ByteOrder = tboUnknown;
  TTifIFDs IFDs;
  TTifIFD ExifIFD;
  TTifIFD ExifInterIFD;
  TTifIFD ExifMarkerNotesIFD;
  TTifIFD GPSIFD;
  TTifIFD IPTCIFD;
  TIPTCResources IPTCResources;
  std::vector<std::string> XMPData;
  std::string ImgDimensions;
  bool FullDng = false;

  // Reader settings.
  int32_t MaxValueSize = -1;
  const TTifTags* TagFilter = nullptr;  // owned by the caller
  TMemoryStream JpgCommentStream;
  TReadWork Work;

  TTifIFD& Exif() { return ExifIFD; }
  TTifIFD& IPTC() { return IPTCIFD; }
  TTifIFD& MakerNotes() { return ExifMarkerNotesIFD; }
  TTifIFD& GPS() { return GPSIFD; }

  // Reading. Open(silent, quick_scan) reads the file named by FileName and then its XMP
  // sidecar. Open(stream, ...) reads a stream the caller owns, from its start, and nothing else:
  // a stream has no sidecars. FileName, when set, still names the container by its extension.
  // Both clear what was read before; silent turns a read failure into an empty result. The
  // stream form returns false when the stream held no readable part or a read failed.
  void Open(bool silent, bool quick_scan);
  bool Open(TStream& stream, bool silent, bool quick_scan);
  void Clear();
  void ReadTiff(TStream& stream, int64_t base_offset, TStream* value_stream, bool check_magic,
                bool quick_scan);
  void ReadMakerNotes(TStream* value_stream, int64_t base_offset);
  void SetIccProfile(TStream* stream);
  void EnsureExifPointer();

  // The container readers that Open chooses from (see metadata/containers.h).
  void ReadJpeg(TStream& stream, bool quick_scan);
  void ReadX3F(TStream& stream);
  void ReadPsd(TStream& stream);
  void ReadPsp(TStream& stream, bool quick_scan);
  void ReadCr3(TStream& stream, bool quick_scan);
  // Reads the EXIF of a JPEG embedded in the file (RW2's JpgFromRaw): its IFD0, EXIF,
  // interoperability and GPS tags that the file's own directories lack are added to them, its
  // maker notes taken when the file has none.
  void ReadEmbeddedJpegExif(const TMemoryStream& jpeg);
  void ProcessImageResources();
  // Reads IPTC records from the bytes of TIFF tag 33723 into IPTCIFD.
  void ReadIptcFromTag(const TTifTag& tag);

  // Queries.
  TTifTag* FindTag(int tag_number, int kinds) const;
  TMemoryStream* GetThumbnailStream();
  std::string GetMake() const;
  std::string GetModel() const;
  bool IsDng() const;
  bool IsJpeg() const;
  bool IsRaw() const;
  bool IsTiff() const;
  bool HasIFDs() const { return !IFDs.Empty(); }
  bool HasXMP() const { return !XMPData.empty(); }
  bool HasJpgComment() const { return !JpgCommentStream.Empty(); }
  bool HasGPS() const;
  bool HasIPTC() const;
  bool HasMetadata() const { return HasIFDs() || HasIPTC() || HasXMP() || HasGPS(); }
  std::string GetJpgComment() const;

 private:
  void ReadDirectoryAt(TTifIFD& directory, TStream& stream, const TTifTag* pointer,
                       int64_t base_offset, TStream* value_stream, bool skip_thumbnail,
                       TWalkBudget& budget);
  void ReadNikonType3(const TMemoryStream& notes);
  void ReadOlympusSections(TStream& values, int64_t relative, TTifByteOrder byte_order);
  void LoadXmpSidecar();

  int maker_note_nesting_ = 0;  // a Nikon type-3 note holds a TIFF that may hold a note again
};

// The name whose metadata stands for `file_name`: its ".THM" sidecar when one exists (found
// whatever its letter case), else `file_name` itself.
std::string SidecarFileName(const std::string& file_name);

// Forward search for `pattern` from `start` through 10240-byte windows. MaxPos 0 means no limit;
// a window that starts reading beyond MaxPos is not examined, but the first window always is.
bool FindPattern(TStream& stream, std::string_view pattern, int64_t start, int64_t max_pos,
                 int64_t& found);

// The lines of a text, split at CR LF, LF or CR (the form XMP data is kept in).
std::vector<std::string> SplitLines(std::string_view text);

inline constexpr int kFindPatternWindow = 10240;

// The failure of a stream that is too short for its container or whose TIFF header is wrong.
inline constexpr const char* kInvalidTif = "Invalid TIF file.";

}  // namespace morvane
