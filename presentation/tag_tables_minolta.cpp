// Minolta and Konica Minolta maker notes, and MinoltaCameraSettings: the settings packed into
// tags 1 and 3 as 32-bit integers, keyed by position.
#include "presentation/tag_tables.h"

#include <string_view>

#include "presentation/tag_rows.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kSceneMode =
    "0:Standard,1:Portrait,2:Text,3:Night Scene,4:Evening Scene,5:Sports,6:Landscape,9:Super Macro";

constexpr std::string_view kColorMode =
    "0:Natural Color,1:Black and White,2:Vivid Color,3:Solarization,4:AdobeRGB";

constexpr std::string_view kMinoltaQuality =
    "0:RAW,1:Super Fine,2:Fine,3:Standard,4:Economy,5:Extra Fine";

constexpr std::string_view kImageQuality =
    "0:RAW,1:Super Fine,2:Fine,3:Standard,4:Economy,5:Extra Fine";

constexpr std::string_view kLensID =
    "0:28-85mm F3.5-4.5,1:AF80-200mm F2.8G,2:AF28-70mm F2.8G,3:28-80mm F4-5.6,5:35-70mm F3.5-4.5,"
    "6:AF24-85mm F3.5-4.5,7:AF100-300mm F4.5-5.6,8:70-210mm F4.5-5.6,9:50mm F3.5 MACRO,"
    "10:28-105mm F3.5-4.5,11:AF300mm F4G,12:AF100mm F2.8 Soft,13:75-300mm F4.5-5.6,"
    "14:100-400mm F4.5-6.7,15:AF400mm F4.5G,16:AF17-35mm F3.5G,17:20-35mm F3.5-4.5,"
    "18:28-80mm F3.5-5.6,19:AF35mm/1.4,20:STF 135mm F2.8[T4.5],22:35-80,, F4-5.6,"
    "23:AF200mm F4G Macro,24:AF24-105mm F3.5-4.5(D) or SIGMA 18-50mm F2.8,"
    "25:AF100-300mm F4.5-5.6(D),27:AF85mm F1.4G,28:AF100mm F2.8 Macro(D),29:AF75-300mm F4.5-5.6(D),"
    "30:AF28-80mm F3.5-5.6(D),31:AF50mm F2.8 Macro(D) or AF50mm F3.5 Macro,32:300mm F2.8(G),"
    "33:AF70-200mm F2.8G SSM,35:AF85mm F1.4G(D) Limited,36:28-100mm F3.5-5.6,"
    "38:AF17-35mm F2.8-4(D),39:AF28-75mm F2.8(D),40:AFDT18-70mm F3.5-5.6(D),"
    "41:AFDT11-18mm F4.5-5.6(D),42:AFDT18-200mm F3.5-6.3(D),43:35mm F1.4G,44:50mm F1.4,"
    "45:PlanarT* 85mm F1.4 ZA,46:Vario-Sonnar T* 135mm F1.8 ZA,47:Sonnar T* 135mm F1.8 ZA,"
    "128:TAMRON 18-200, 28-300 or 80-300mm F3.5-6.3,25501:AF50mm F1.7,"
    "25511:Minolta 35-70mm F4 MACRO,25521:TOKINA 20-35mm F2.8 AT-X or TOKINA 28-70mm F2.8 AT-X,"
    "25541:AF35-105mm F3.5-4.5,25551:AF70-210mm F4 Macro or SIGMA 70-210mm F4-5.6 APO,"
    "25571:Minolta AF 28/2.8,25581:AF24-50mm F4,"
    "25611:SIGMA 70-300mm F4-5.6 or SIGMA 300mm F4 APO Macro,25621:AF50mm F1.4 NEW,"
    "25631:AF300mm F2.8G,25641:AF50mm F2.8 Macro,25661:AF24mm F2.8,25721:AF500mm F8 Reflex,"
    "25781:AF16mm F2.8 Fisheye or SIGMA 8mm F4 Fisheye,25791:AF20mm F2.8,"
    "25811:AF100mm F2.8 Macro(D), TAMRON 90mm F2.8 Macro or SIGMA 180mm F5.6 Macro,"
    "25858:TAMRON 24-135mm F3.5-5.6,25881:AF70-210mm F3.5-4.5,25891:80-200mm F2.8,25911:35mm F1.4,"
    "25921:85mm F1.4G(D),25931:200mm F2.8G,25961:AF28mm F2,25981:AF100mm F2,"
    "25971:Minolta AF 35mm 2.0 (original or RS),26061:AF100-300mm F4.5-5.6(D),26081:AF300mm F2.8G,"
    "26121:AF200mm F2.8G(D),26131:AF50mm F1.7,26201:28-70mm 2.8,26211:100-300mm F4.5-5.6,"
    "26241:AF35-80mm F4-5.6,26281:80-200mm F2.8G,26291:85mm F1.4,26311:100-300mm F4.5-5.6 APO,"
    "26321:24-50mm F4,26381:MACRO 50mm F2.8,26391:MACRO 100mm F2.8,26411:20mm F2.8,26421:24mm F2.8,"
    "26441:100-400mm F4.5-6.7 APO,26621:50mm F1.4,26671:35mm F2,26681:28mm F2,"
    "26721:24-105mm F3.5-4.5(D),45741:AF200mm F2.8G x2 or TOKINA 300mm F2.8 x2";

constexpr std::string_view kExposureMode =
    "0:Program,1:Aperture Priority,2:Shutter Priority,3:Manual";

constexpr std::string_view kFlashMode =
    "0:Fill Flash,1:Red-Eye reduction,2:Rear flash sync,3:Wireless";

constexpr std::string_view kMinoltaImageSize =
    "0:Full,1:1600x1200,2:1280x960,3:640x480,6:2080x1560,7:2560x1920,8:3264x2176";

constexpr std::string_view kDriveMode =
    "0:Single,1:Continuous,2:Self Timer,4:Bracketing,5:Interval,6:UHS Continuous,7:HS Continuous";

constexpr std::string_view kSubjectProgram =
    "0:None,1:Portrait,2:Text,3:Night Protrait,4:Sunset,5:Sports Action";

constexpr std::string_view kMinoltaModel =
    "0:DiMAGE7 or X31,1:DiMAGE 5,2:DiMAGE S304,3:DiMAGE S404,4:DiMAGE 7i,5:DiMAGE 7Hi,6:DiMAGE A1,"
    "7:DiMAGE A2 or S414";

constexpr std::string_view kColorMode40 =
    "0:Natural Color,1:Black & White,2:Vivid Color,3:Solarization,4:AdobeRGB";

constexpr std::string_view kWideFocusZone =
    "0:No Zone,1:Center Zone (horizontal),2:Center Zone (vertical),3:Left Zone,4:Right Zone";

constexpr std::string_view kDataImprint =
    "0:None,1:YYYY/MM/DD,2:MM/DD/HH:MM,3:Text,4:Text+ID#";

constexpr TTagEntry kMinoltaTags[] = {
    Row(0, "MakernoteVersion", "Maker Note Version"),
    Formatted(1, "CameraSettingsOld", "Camera Settings Old", ExpandMinoltaSettings),
    Formatted(3, "CameraSettings", "Camera Settings", ExpandMinoltaSettings),
    Row(24, "ImageStabilization", "Image Stabilization"),
    Row(64, "CompressedImageSize", "Compressed Image Size"),
    Row(129, "PreviewImage", "Preview Image"),
    Row(136, "PreviewImageStart", "Preview Image Offset"),
    Row(137, "PreviewImageLength", "Preview Image Length"),
    Values(256, "SceneMode", "Scene Mode", kSceneMode),
    Values(257, "ColorMode", "Color Mode", kColorMode),
    Values(258, "MinoltaQuality", "Minolta Quality", kMinoltaQuality),
    Values(259, "ImageQuality", "Image Quality", kImageQuality),
    Row(260, "FlashExposureComp", "Flash Exposure Compensation"),
    Values(263, "ImageStabilization", "Image Stabilization", "1:Off,5:On"),
    Values(266, "ZoneMatching", "Zone Matching", "0:ISO Setting,1:High Key,2:Low Key"),
    Values(267, "ColorTemperature", "Color Temperature", "0:Auto"),
    Values(268, "LensID", "Lens", kLensID),
    Values(275, "ImageStabilization", "Image Stabilization", "0:Off,1:On"),
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

constexpr TTagEntry kMinoltaCameraSettings[] = {
    Values(1, "ExposureMode", "Exposure Mode", kExposureMode),
    Values(2, "FlashMode", "Flash Mode", kFlashMode),
    Row(3, "WhiteBalance", "White Balance"),
    Values(4, "MinoltaImageSize", "Minolta Image Size", kMinoltaImageSize),
    Values(5, "MinoltaQuality", "Minolta Quality", kMinoltaQuality),
    Values(6, "DriveMode", "Drive Mode", kDriveMode),
    Values(7, "MeteringMode", "Metering Mode", "0:Multi segment,1:Center Weighted,2:Spot"),
    Row(8, "MinoltaISO", "Minolta ISO"),
    Row(9, "MinoltaShutterSpeed", "Minolta Shutter Speed"),
    Row(10, "MinoltaAperture", "Minolta Aperture"),
    Values(11, "MacroMode", "Macro Mode", "0:Off,1:On"),
    Values(12, "DigitalZoom", "Digital Zoom", "0:Off,1:Electronic magnification,2:2x"),
    Row(13, "ExposureCompensation", "Exposure Compensation"),
    Values(14, "BracketStep", "Bracket Step", "0:1/3 EV,1:2/3 EV,2:1 EV"),
    Row(16, "IntervalLength", "Interval Length"),
    Row(17, "IntervalNumber", "Interval Number"),
    Row(18, "FocalLength", "Focal Length"),
    Row(19, "FocusDistance", "Focus Distance"),
    Values(20, "FlashFired", "Flash Fired", "0:No,1:Yes"),
    Row(21, "MinoltaDate", "Minolta Date"),
    Row(22, "MinoltaTime", "Minolta Time"),
    Row(23, "MaxAperture", "Max. Aperture"),
    Values(26, "FileNumberMemory", "File Number Memory", "0:Off,1:On"),
    Row(27, "LastFileNumber", "Last File Number"),
    Row(28, "ColorBalanceRed", "Color Balance Red"),
    Row(29, "ColorBalanceGreen", "Color Balance Green"),
    Row(30, "ColorBalanceBlue", "Color Balance Blue"),
    Row(31, "Saturation"),
    Row(32, "Contrast"),
    Values(33, "Sharpness", "Sharpness", "0:Hard,1:Normal,2:Soft"),
    Values(34, "SubjectProgram", "Subject Program", kSubjectProgram),
    Row(35, "FlashExposureComp", "Flash Exposure Comp."),
    Values(36, "ISOSetting", "ISO Setting", "0:100,1:200,2:400,3:800,4:auto,5:64"),
    Values(37, "MinoltaModel", "MinoltaModel", kMinoltaModel),
    Values(38, "IntervalMode", "Interval Mode", "0:Still Image,1:Time-lapse Movie"),
    Values(39, "FolderName", "Folder Name", "0:Standard Form,1:Data Form"),
    Values(40, "ColorMode", "Color Mode", kColorMode40),
    Row(41, "ColorFilter", "Color Filter"),
    Row(42, "BWFilter", "B/W Filter"),
    Values(43, "InternalFlash", "Internal Flash", "0:No,1:Fired"),
    Row(44, "Brightness"),
    Row(45, "SpotFocusPointX", "Spot Focus Point X"),
    Row(46, "SpotFocusPointY", "Spot Focus Point Y"),
    Values(47, "WideFocusZone", "Wide Focus Zone", kWideFocusZone),
    Values(48, "FocusMode", "Focus Mode", "0:AF,1:MF"),
    Values(49, "FocusArea", "Focus Area", "0:Wide Focus (normal),1:Spot Focus"),
    Values(50, "DECPosition", "DEC Position", "0:Exposure,1:Contrast,2:Saturation,3:Filter"),
    Values(51, "ColorProfile", "Color Profile Embed.", "0:Not Embedded,1:Embedded"),
    Values(52, "DataImprint", "Data Imprint", kDataImprint),
};

}  // namespace

constinit const TTagDictionary MinoltaTags = kMinoltaTags;
constinit const TTagDictionary MinoltaCameraSettings = kMinoltaCameraSettings;

namespace {
constexpr uint16_t kMinoltaSettingsParents[] = {3, 1};
}  // namespace

constinit const std::span<const uint16_t> MinoltaSettingsParents = kMinoltaSettingsParents;

}  // namespace morvane
