// Today's shell handlers: per file type a thumbnail provider and a property handler, both
// initialised with a stream, each with its own fixed class identifier so that the class alone
// tells the type (a stream carries no name). The COM server makes one class factory per
// identifier; registration writes the class keys, the type's handler keys (never replacing
// another program's) and, for camera raw types without one, the property lists the details
// views show. Unregistration removes only what names these classes.
#pragma once

#include <array>
#include <string_view>

namespace morvane {

class TComServer;

struct TExplorerRow {
  std::string_view FileType;          // ".CR2"
  std::string_view ProviderClassId;   // empty: the type has no thumbnail
  std::string_view PropertyClassId;   // empty: the type has no info tip
  bool RawType;                       // gets the details property lists where it has none
};

inline constexpr size_t kExplorerRowCount = 32;
extern const std::array<TExplorerRow, kExplorerRowCount> kExplorerTable;

// The shell's category of thumbnail providers under a type's "shellex" key.
inline constexpr const char* kThumbnailProviderCategory = "{E357FCCD-A995-4576-B01F-234630154E96}";
inline constexpr const char* kPropertyHandlersKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PropertySystem\\PropertyHandlers\\";

// The property lists of the details pane (FullDetails) and the preview pane (PreviewDetails).
inline constexpr const char* kFullDetails =
    "prop:System.PropGroup.Camera;System.Photo.CameraManufacturer;System.Photo.CameraModel;System.Photo.LensModel;"
    "System.Photo.DateTaken;System.Photo.FNumber;System.Photo.ExposureTime;System.Photo.ISOSpeed;"
    "System.Photo.FocalLength;System.Photo.Flash;System.PropGroup.Image;System.Image.Dimensions;"
    "System.Photo.Orientation;System.PropGroup.FileSystem;System.ItemNameDisplay;System.ItemType;"
    "System.ItemFolderPathDisplay;System.DateCreated;System.DateModified;System.Size";
inline constexpr const char* kPreviewDetails =
    "prop:System.Photo.DateTaken;System.Photo.CameraModel;System.Photo.FNumber;System.Photo.ExposureTime;"
    "System.Photo.ISOSpeed;System.Photo.FocalLength;System.Image.Dimensions;System.Size";

// Makes the class factories of every row for `server`.
void AddExplorerFactories(TComServer& server);

}  // namespace morvane
