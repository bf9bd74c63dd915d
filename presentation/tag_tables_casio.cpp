// Casio maker notes.
#include "presentation/tag_tables.h"

#include <string_view>

#include "presentation/tag_rows.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kRecordingMode =
    "1:Single Shutter,2:Panorama,3:Night Scene,4:Portrait,5:Landscape";

constexpr std::string_view kWhiteBalance =
    "1:Auto,2:Tungsten,3:Daylight,4:Fluorescent,5:Shade,129:Manual";

constexpr std::string_view kCCDSensitivity =
    "64:Normal,125:+1.0,250:+2.0,244:+3.0,80:Normal,100:High";

constexpr TTagEntry kCasioTags[] = {
    Values(1, "RecordingMode", "RecordingMode", kRecordingMode),
    Values(2, "Quality", "Quality", "1:Economy,2:Normal,3:Fine"),
    Values(3, "FocusingMode", "FocusingMode", "2:Macro,3:Auto Focus,4:Manual Focus,5:Infinity"),
    Values(4, "FlashMode", "FlashMode", "1:Auto,2:On,3:Off,4:Red Eye Reduction"),
    Values(5, "FlashIntensity", "FlashIntensity", "11:Weak,13:Normal,15:Strong"),
    Row(6, "ObjectDistance"),
    Values(7, "WhiteBalance", "WhiteBalance", kWhiteBalance),
    Row(8, "Skip"),
    Row(9, "Skip"),
    Values(10, "DigitalZoom", "DigitalZoom", "65536:Off,65537:2X Digital Zoom"),
    Values(11, "Sharpness", "Sharpness", "0:Normal,1:Soft,2:Hard"),
    Values(12, "Contrast", "Contrast", "0:Normal,1:Low,2:High"),
    Values(13, "Saturation", "Saturation", "0:Normal,1:Low,2:High"),
    Row(14, "Skip"),
    Row(15, "Skip"),
    Row(16, "Skip"),
    Row(17, "Skip"),
    Row(18, "Skip"),
    Row(19, "Skip"),
    Values(20, "CCDSensitivity", "CCDSensitivity", kCCDSensitivity),
    Row(21, "Skip"),
    Row(22, "Skip"),
    Row(23, "Skip"),
    Row(24, "Skip"),
    Row(25, "Skip"),
    Row(26, "Skip"),
};

}  // namespace

constinit const TTagDictionary CasioTags = kCasioTags;

}  // namespace morvane
