// Canon maker notes and the sub-tables that name the settings packed into the values of tags 1,
// 2, 4, 5, 10, 13 and 147 (each row keyed by the position of its setting in the value list).
#include "presentation/tag_tables.h"

#include <string>
#include <string_view>

#include "presentation/tag_rows.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kCanonFlashMode =
    "0:Off,1:Auto,2:On,3:Red-Eye Reduction,4:Slow-Sync,5:Red-Eye Reduction (Auto),"
    "6:Red-Eye Reduction (On),16:External Flash";

constexpr std::string_view kFocusMode =
    "0:One-shot AF,1:AI Servo AF,2:AI Focus AF,3:Manual Focus,4:Single,5:Continuous,6:Manual Focus";

constexpr std::string_view kCanonImageSize =
    "0:Large,1:Medium,2:Small,4:5MPixel,5:2 MPixel,6:1.5 MPixel";

constexpr std::string_view kEasyMode =
    "0:Full Auto,1:Manual,2:Landscape,3:Fast Shutter,4:Slow Shutter,5:Night Shot,6:Black & White,"
    "7:Sepia,8:Portrait,9:Sports,10:Macro,11:Pan Focus";

constexpr std::string_view kCanonISO =
    "0:Not used,15:auto,16:50,17:100,18:200,19:400,20:800;21:1600";

constexpr std::string_view kMeteringMode =
    "0:Default,1:Spot,3:Evaluative,4:Partial,5:Center-Weighted Average";

constexpr std::string_view kFocusType =
    "0:Manual,1:Auto (1),2:Auto (2),3:Macro Mode,7:Infinity Mode,8:Locked (Pan Mode)";

constexpr std::string_view kAFPoint =
    "8197:Manual AF point selection,12288:None (MF),12289:Auto-selected,12290:Right,12291:Center,"
    "12292:Left,16385:Auto AF point selection";

constexpr std::string_view kCanonExposureMode =
    "0:Easy,1:Program AE,2:Shutter Speed Priority AE,3:Aperture-Priority AE,4:Manual,"
    "5:Depth-Of-Field AE";

constexpr std::string_view kLensType =
    "1:Canon EF 50mm f/1.8,2:Canon EF 28mm f/2.8,4:Sigma UC Zoom 35-135mm f/4-5.6,"
    "6:Tokina AF193-2 19-35mm f/3.5-4.5,10:Sigma 50mm f/2.8 EX / 28mm f/1.8,"
    "21:Canon EF 80-200mm f/2.8L,26:Cosina 100mm f/3.5 Macro AF,"
    "28:Tamron AF Aspherical 28-200mm f/3.8-5.6,29:Canon EF 50mm f/1.8 MkII,"
    "39:Canon EF 75-300mm f/4-5.6,40:Canon EF 28-80mm f/3.5-5.6,125:Canon TS-E 24mm f/3.5L,"
    "131:Sigma 17-35mm f2.8-4 EX Aspherical HSM,135:Canon EF 200mm f/1.8L,"
    "136:Canon EF 300mm f/2.8L,139:Canon EF 400mm f/2.8L,141:Canon EF 500mm f/4.5L,"
    "150:Sigma 20mm EX f/1.8,151:Canon EF 200mm f/2.8L USM,155:Canon EF 85mm f/1.8 USM,"
    "156:Canon EF 28-105mm f/3.5-4.5 USM,160:Canon EF 20-35mm f/3.5-4.5 USM,"
    "161:Canon EF 28-70mm f/2.8mm L USM / Sigma 24-70mm EX f/2.8,165:Canon EF 70-200mm f/2.8 L,"
    "166:Canon EF 70-200mm f/2.8 L + x1.4,167:Canon EF 70-200mm f/2.8 L + x2,"
    "169:Sigma 15-30mm f/3.5-4.5 EX DG Aspherical,173:Sigma 180mm EX HSM Macro f/3.5,"
    "176:Canon EF 24-85mm f/3.5-4.5 USM,178:Canon EF 28-135mm f/3.5-5.6 IS,"
    "182:Canon EF 100-400mm f/4.5-5.6 L IS + x2,183:Canon EF 100-400mm f/4.5-5.6 L IS,"
    "190:Canon EF 100mm f/2.8 Macro,197:Canon EF 75-300mm f/4-5.6 IS,"
    "202:Canon EF 28-80 f/3.5-5.6 USM IV,213:Canon EF 90-300mm f/4.5-5.6,231:Canon EF 17-40mm f/4L,"
    "65535:Unknown";

constexpr std::string_view kWhiteBalance =
    "0:Auto,1:Daylight,2:Cloudy,3:Tungsten,4:Fluorescent,5:Flash,6:Custom,7:Black & White,8:Shade,"
    "9:Manual temperature,14:Daylight Fluorescent,17:Underwater";

constexpr std::string_view kIxusAFPoint =
    "0:n.a.,12288:None (MF),12289:Right,12290:Center,12291:Center+Right,12292:Left,"
    "12293:Left+Right,12294:Left+Center,12295:All";

constexpr std::string_view kFlashExposureComp =
    "65472:-2 EV,65484:-1.67 EV,65488:-1.50 EV,65492:-1.33 EV,65504:-1 EV,65516:-0.67 EV,"
    "65520:-0.50 EV,65524:-0.33 EV,0:0 EV,12:0.33 EV,16:0.50 EV,20:0.67 EV,32:1 EV,44:1.33 EV,"
    "48:1.50 EV,52:1.67 EV,64:2 EV";

constexpr std::string_view kFNumber =
    "0:F1.0,16:F1.2,32:F1.4,48:F1.7,64:F2.0,80:F2.4,96:F2.8,112:F3.5,128:F4.0,144:F4.5,160:F5.6,"
    "176:F6.7,192:F8.0,208:F9.5,224:F11.0,240:F13.0,256:F16.0,272:F19.0,288:F22.0,304:F27.0,"
    "320:F32.0";

constexpr std::string_view kAutoRotate =
    "-1:Rotated by Software,0:None,1:Rotate 90,2:Rotate 180,3:Rotate 270";

constexpr std::string_view kPanoramaDirection =
    "0:Left to Right,1:Right to Left,2:Bottom to Top,3:Top to Bottom,4:2x2 Clockwise Matrix";

// Each packed tag expands through its own sub-table.
std::string ExpandCanonCameraSettings(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonCameraSettings);
}
std::string ExpandCanonFocalLength(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonFocalLength);
}
std::string ExpandCanonShotInfo(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonShotInfo);
}
std::string ExpandCanonPanorama(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonPanorama);
}
std::string ExpandCanonColorInfo(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonColorInfo);
}
std::string ExpandCanonCameraInfo(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonCameraInfo);
}
std::string ExpandCanonFileInfo(const std::string& value_text) {
  return ExpandSubTable(value_text, CanonFileInfo);
}

constexpr TTagEntry kCanonCameraSettings[] = {
    Values(1, "MacroMode", "Macro Mode", "0:None,1:Macro,2:Normal"),
    Row(2, "SelfTimer", "Self Timer"),
    Values(3, "Quality", "Original Quality", "2:Normal,3:Fine,4:RAW,5:Super Fine"),
    Values(4, "CanonFlashMode", "Flash Mode", kCanonFlashMode),
    Values(5, "ContinuousDrive", "Continuous Drive", "0:Single,1:Continuous"),
    Values(7, "FocusMode", "Focus Mode", kFocusMode),
    Values(10, "CanonImageSize", "Internal Image Size", kCanonImageSize),
    Values(11, "EasyMode", "Program Mode", kEasyMode),
    Values(12, "DigitalZoom", "Digital Zoom", "0:None,1:x2,2:x4,3:Other"),
    Row(13, "Contrast"),
    Row(14, "Saturation"),
    Row(15, "Sharpness"),
    Values(16, "CanonISO", "ISO Setting", kCanonISO),
    Values(17, "MeteringMode", "Canon Metering Mode", kMeteringMode),
    Values(18, "FocusType", "Focus Type", kFocusType),
    Values(19, "AFPoint", "AF-Point", kAFPoint),
    Values(20, "CanonExposureMode", "Exposure Mode", kCanonExposureMode),
    Values(22, "LensType", "Lens Type", kLensType),
    Pattern(24, "LensShortFocal", "Lens Focal Min", "%0.0f"),
    Pattern(23, "LensLongFocal", "Lens Focal Max", "%0.0f"),
    Row(25, "LensFocalUnits", "Lens Focal Units"),
    Row(28, "FlashActivity", "Flash Activity"),
    Row(29, "FlashBits", "Flash Bits"),
    Values(32, "FocusContinuous", "Focus Continuous", "0:Single,1:Continuous"),
    Row(36, "ZoomResolution", "Zoom Resolution"),
    Row(37, "ZoomResolutionBase", "Zoom Resolution Offset"),
    Row(42, "ColorTone", "Color Tone"),
};

constexpr TTagEntry kCanonFocalLength[] = {
    Values(0, "FocalType", "Focal Type", "0:Normal,1:Fixed,2:Zoom"),
    Row(1, "FocalLength", "Focal Length"),
    Row(2, "FocalPlaneXSize", "Focal Plane X Size"),
    Row(3, "FocalPlaneYSize", "Focal Plane Y Size"),
};

constexpr TTagEntry kCanonShotInfo[] = {
    Values(2, "ISO", "ISO", "128:50,160:100,192:200,224:400,256:800,288:1600"),
    Row(6, "ExposureCompensation", "Exposure Compensation"),
    Values(7, "WhiteBalance", "White Balance", kWhiteBalance),
    Row(9, "SequenceNumber", "Sequence Number"),
    Values(14, "IxusAFPoint", "Ixus AF-Point", kIxusAFPoint),
    Values(15, "FlashExposureComp", "Flash Compensation", kFlashExposureComp),
    Values(16, "AutoExposureBracketing", "Auto Expos. Bracketing", "-1:On,0:Off"),
    Row(17, "AEBBracketValue", "AEB-Bracketing Value"),
    Row(19, "FocusDistanceUpper", "Upper Focus Distance"),
    Row(20, "FocusDistanceLower", "Lower Focus Distance"),
    Values(21, "FNumber", "F-Number", kFNumber),
    Row(22, "ExposureTime", "Exposure Time"),
    Row(24, "BulbDuration", "Bulb Duration"),
    Values(27, "AutoRotate", "Auto Rotate", kAutoRotate),
    Row(29, "SelfTimer2", "Self Timer [2]"),
};

constexpr TTagEntry kCanonPanorama[] = {
    Row(2, "PanoramaFrame", "Panorama Frame"),
    Values(5, "PanoramaDirection", "Panorama Direction", kPanoramaDirection),
};

constexpr TTagEntry kCanonCameraInfo[] = {
    Row(4, "ExposureTime", "Exposure Time"),
    Row(10, "FocalLength", "Focal Length"),
    Values(13, "LensType", "Lens Type", kLensType),
    Row(18, "ShortFocal", "Short Focal Length"),
    Row(20, "LongFocal", "Long Focal Length"),
    Values(45, "FocalType", "Focal Type", "0:Fixed,2:Zoom"),
};

constexpr TTagEntry kCanonFileInfo[] = {
    Row(1, "FileNumber", "File Number"),
    Row(2, "ShutterCount", "Shutter Count"),
};

constexpr TTagEntry kCanonColorInfo[] = {
    Pattern(9, "ColorTemperature", "Color Temperature", "%dK"),
};

constexpr TTagEntry kCanonTags[] = {
    Row(0, "Skip"),
    Formatted(1, "Settings", "Camera Settings", ExpandCanonCameraSettings),
    Formatted(2, "FocalLength", "Canon Focal Length", ExpandCanonFocalLength),
    Row(3, "Skip"),
    Formatted(4, "ShotInfo", "Camera Shot Info", ExpandCanonShotInfo),
    Formatted(5, "Panorama", "Panorama Info", ExpandCanonPanorama),
    Row(6, "ImageType", "Image Type"),
    Row(7, "FirmwareVersion", "Firmware Version"),
    Row(8, "ImageNumber", "Image Number"),
    Row(9, "OwnerName", "Owner Name"),
    Formatted(10, "Color Info", "Color Info", ExpandCanonColorInfo),
    Row(11, "Skip"),
    Row(12, "CameraSerialNumber", "Camera Serial Number"),
    Formatted(13, "CanonLensInfo1D", "Lens Info 1D", ExpandCanonCameraInfo),
    Row(14, "Skip"),
    Row(15, "CustomFunctions", "Custom Functions"),
    Formatted(147, "FileInfo", "File Info", ExpandCanonFileInfo),
    Row(16, "Skip"),
};

}  // namespace

constinit const TTagDictionary CanonCameraSettings = kCanonCameraSettings;
constinit const TTagDictionary CanonFocalLength = kCanonFocalLength;
constinit const TTagDictionary CanonShotInfo = kCanonShotInfo;
constinit const TTagDictionary CanonPanorama = kCanonPanorama;
constinit const TTagDictionary CanonCameraInfo = kCanonCameraInfo;
constinit const TTagDictionary CanonFileInfo = kCanonFileInfo;
constinit const TTagDictionary CanonColorInfo = kCanonColorInfo;
constinit const TTagDictionary CanonTags = kCanonTags;

namespace {
constexpr TSubTable kCanonSubTables[] = {
    {kCanonCameraSettings, 1}, {kCanonFocalLength, 2}, {kCanonShotInfo, 4}, {kCanonFileInfo, 147},
    {kCanonCameraInfo, 13},    {kCanonPanorama, 5},    {kCanonColorInfo, 10},
};
}  // namespace

constinit const std::span<const TSubTable> CanonSubTables = kCanonSubTables;

}  // namespace morvane
