// The desktop's names for the types Morvane makes thumbnails of: the MIME type of each file
// extension, as the installed thumbnailer entry declares them and as the thumbnails written into
// the desktop's cache record them.
#pragma once

#include <string>
#include <string_view>

namespace morvane::cli {

struct TDesktopType {
  std::string_view Extension;  // as the handler table spells it, e.g. ".CR2"
  std::string_view MimeType;
};

inline constexpr TDesktopType kDesktopTypes[] = {
    {".ARW", "image/x-sony-arw"},     {".CR2", "image/x-canon-cr2"},
    {".CRW", "image/x-canon-crw"},    {".DNG", "image/x-adobe-dng"},
    {".MRW", "image/x-minolta-mrw"},  {".NEF", "image/x-nikon-nef"},
    {".ORF", "image/x-olympus-orf"},  {".PEF", "image/x-pentax-pef"},
    {".PSD", "image/vnd.adobe.photoshop"}, {".PSP", "image/x-psp"},
    {".PSPImage", "image/x-psp"},     {".RAF", "image/x-fuji-raf"},
    {".SR2", "image/x-sony-sr2"},     {".SRF", "image/x-sony-srf"},
    {".CR3", "image/x-canon-cr3"},    {".RW2", "image/x-panasonic-rw2"},
    {".RWL", "image/x-leica-rwl"},    {".NRW", "image/x-nikon-nrw"},
    {".SRW", "image/x-samsung-srw"},  {".3FR", "image/x-hasselblad-3fr"},
    {".IIQ", "image/x-phaseone-iiq"},
    {".THM", "image/jpeg"},  // a camera's JPEG index picture: the desktop's own JPEG thumbnailer serves it
};

// The MIME type of a file by its extension (any letter case); empty for a type not listed.
std::string MimeTypeOf(const std::string& path);

// The file: URI of an absolute path, escaped as the desktop's libraries escape it: bytes other
// than letters, digits and -._~!$&'()*+,;=:@/ become %XX.
std::string FileUri(const std::string& absolute_path);

}  // namespace morvane::cli
