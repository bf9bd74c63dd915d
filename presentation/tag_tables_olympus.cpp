// Olympus maker notes. Tags 1 and 3 pack the camera settings the way Minolta does and expand
// through MinoltaCameraSettings.
#include "presentation/tag_tables.h"

#include <string_view>

#include "presentation/tag_rows.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kColorMode =
    "0:Natural Color,1:Black and White,2:Vivid Color,3:Solarization,4:AdobeRGB";

constexpr std::string_view kImageQuality =
    "0:RAW,1:Super Fine,2:Fine,3:Standard,4:Extra Fine";

constexpr TTagEntry kOlympusTags[] = {
    Row(0, "MakernoteVersion", "Maker Note Version"),
    Formatted(1, "CameraSettings", "Camera Settings", ExpandMinoltaSettings),
    Formatted(3, "CameraSettings", "Camera Settings", ExpandMinoltaSettings),
    Values(257, "ColorMode", "Color Mode", kColorMode),
    Values(258, "ImageQuality", "Image Quality", kImageQuality),
    Values(259, "ImageQuality", "Image Quality", kImageQuality),
    Row(512, "SpecialMode", "Special Mode"),
    Values(513, "JpegQual", "Jpeg Quality", "1:SQ,2:HQ,3:SHQ,4:Raw"),
    Values(514, "Macro", "Macro", "0=Normal,1:Macro;"),
    Row(515, "Skip"),
    Row(516, "DigiZoom", "Digital Zoom Ratio"),
    Row(517, "Skip"),
    Row(518, "Skip"),
    Row(519, "Firmware"),
    Row(520, "PictInfo", "Picture Info"),
    Row(521, "CameraID", "Camera ID"),
    Row(3840, "Skip"),
    Row(4100, "FlashMode", "Flash Mode"),
    Row(4102, "Bracket"),
    Row(4107, "FocusMode", "Focus Mode"),
    Row(4108, "FocusDistance", "Focus Distance"),
    Row(4109, "Zoom"),
    Row(4110, "MacroFocus", "Macro Focus"),
    Row(4111, "Sharpness"),
    Row(4113, "ColorMatrix", "Color Matrix"),
    Row(4114, "BlackLevel", "Black Level"),
    Row(4117, "WhiteBalance", "White Balance"),
    Row(4119, "RedBias", "Red Bias"),
    Row(4120, "BlueBias", "Blue Bias"),
    Row(4122, "SerialNumber"),
    Row(4131, "FlashBias", "Flash Bias"),
    Row(4137, "Contrast"),
    Row(4138, "SharpnessFactor", "Sharpness Factor"),
    Row(4139, "ColorControl", "Color Control"),
    Row(4140, "ValidBits", "Valid Bits"),
    Row(4141, "Coring", "Coring Filter"),
    Row(4142, "FinalWidth", "Final Width"),
    Row(4143, "FinalHeight", "Final Height"),
    Row(4148, "CompressionRatio", "Compression Ratio"),
};

}  // namespace

constinit const TTagDictionary OlympusTags = kOlympusTags;

}  // namespace morvane
