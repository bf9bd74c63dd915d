// Nikon maker notes: the early type-1 notes and the later notes of type 2 and 3, which share
// one table.
#include "presentation/tag_tables.h"

#include <string_view>

#include "presentation/tag_rows.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kQuality =
    "1:Vga Basic,2:Vga Normal,3:Vga Fine,4:SXGA Basic,5:SXGA Normal,6:SXGA Fine,10:2 Mpixel Basic,"
    "11:2 Mpixel Normal,12:2 Mpixel Fine";

constexpr std::string_view kImageAdjustment =
    "0:Normal,1:Bright+,2:Bright-,3:Contrast+,4:Contrast-";

constexpr std::string_view kWhiteBalance =
    "0:Auto,1:Preset,2:Daylight,3:Incandescense,4:Fluorescence,5:Cloudy,6:SpeedLight";

constexpr std::string_view kFlashMode =
    "0:Did Not Fire,8:Fired-Commander Mode,9:Fired-TTL Mode";

constexpr TTagEntry kNikonType1Tags[] = {
    Row(2, "FamilyID", "File System Version"),
    Values(3, "Quality", "Quality", kQuality),
    Values(4, "ColorMode", "ColorMode", "1:Color,2:Monochrome"),
    Values(5, "ImageAdjustment", "ImageAdjustment", kImageAdjustment),
    Values(6, "ISOSpeed", "ISOSpeed", "0:ISO80,2:ISO160,4:ISO320,5:ISO100"),
    Values(7, "WhiteBalance", "WhiteBalance", kWhiteBalance),
    Row(8, "Focus"),
    Row(9, "Skip"),
    Row(10, "DigitalZoom"),
    Values(11, "Converter", "Converter", "0:Not used,1:Used"),
    Row(3840, "Skip"),
};

constexpr TTagEntry kNikonTags[] = {
    Row(1, "FileSystemVersion", "Firmware Version"),
    Row(2, "ISOSpeed", "ISO Speed"),
    Row(3, "ColorMode", "Color Mode"),
    Row(4, "Quality"),
    Row(5, "WhiteBalance", "White Balance"),
    Row(6, "ImageSharpening", "Image Sharpening"),
    Row(7, "FocusMode", "Focus Mode"),
    Row(8, "FlashSetting", "Flash Setting"),
    Row(9, "AutoFlashMode", "Auto Flash Mode"),
    Row(10, "Skip"),
    Row(11, "WhiteBiasValue", "White Bias Value"),
    Row(12, "ColorBalance1", "Color Balance"),
    Row(14, "ExposureDifference", "Exposure Difference"),
    Row(15, "ISOSelection", "ISO Selection"),
    Row(16, "Skip"),
    Row(17, "NikonPreview", "Nikon Preview"),
    Row(18, "FlashExposureComp", "Flash Exposure Compensation"),
    Row(19, "ISOSetting", "ISO Setting"),
    Row(22, "ImageBoundry", "Image Boundry"),
    Row(24, "FlashExposureBracketValue", "Flash Exposure Bracket Value"),
    Row(25, "ExposureBracketValue", "Exposure Bracket Value"),
    Row(29, "SerialNumber", "Serial Number"),
    Row(128, "ImageAdjustment", "Image Adjustment"),
    Row(129, "Tone Composition"),
    Row(130, "AuxiliaryLens", "Auxiliary Lens/Adapter"),
    Row(131, "LensType", "Lens Type"),
    Formatted(132, "LensInformation", "Lens Information", FormatLensRange),
    Row(133, "ManualFocusDistance", "Manual Focus Distance"),
    Row(134, "DigitalZoom", "Digital Zoom"),
    Values(135, "FlashMode", "Flash Mode", kFlashMode),
    Row(136, "FocusArea", "Focus Area"),
    Row(137, "Mode", "Shooting Mode"),
    Row(139, "LensFStops", "Lens F-Stops"),
    Row(140, "NEFCurve1", "NEF Curve 1"),
    Formatted(141, "ColorHue", "Color Hue", FormatColorMode),
    Row(143, "SceneMode", "Scene Mode"),
    Row(144, "LightSource", "Light Source"),
    Row(146, "HueAdjustment", "Hue Adjustment"),
    Row(148, "Saturation"),
    Row(149, "NoiseReduction", "Noise Reduction"),
    Row(150, "NEFCurve2", "NEF Curve 2"),
    Row(151, "ColorBalance", "Color Balance"),
    Formatted(152, "LensData", "Lens Data", FormatNothing),
    Row(153, "NEFThumbnailSize", "NEF Thumbnail Size"),
    Row(154, "SensorPixelSize", "Sensor Pixel Size"),
    Row(160, "SerialNumber", "Serial Number"),
    Row(162, "ImageDataSize", "Image Data Size"),
    Row(167, "ShutterCount", "Shutter Count"),
    Row(169, "ImageOptimization", "Image Optimization"),
    Row(170, "Saturation"),
    Row(171, "VariProgram", "Variable Program"),
    Row(3584, "PrintIM", "Print IM"),
    Row(3585, "NikonCaptureData", "Nikon Capture Data"),
    Row(3593, "NikonCaptureVersion", "Nikon Capture Version"),
    Row(3598, "NikonCaptureOffsets", "Nikon Capture Offsets"),
    Row(3840, "Skip"),
};

}  // namespace

constinit const TTagDictionary NikonType1Tags = kNikonType1Tags;
constinit const TTagDictionary NikonTags = kNikonTags;

}  // namespace morvane
