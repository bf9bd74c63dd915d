// Olympus maker notes. Tags 1 and 3 pack the camera settings the way Minolta does and expand
// through MinoltaCameraSettings. Today's notes keep the equipment and the camera settings in
// sections of their own, each with its table.
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

constexpr std::string_view kOnOff = "0:Off,1:On";

constexpr TTagEntry kOlympusEquipmentTags[] = {
    Row(0, "EquipmentVersion", "Equipment Version"),
    Row(256, "CameraType2", "Camera Type"),
    Row(257, "SerialNumber", "Serial Number"),
    Row(258, "InternalSerialNumber", "Internal Serial Number"),
    Row(259, "FocalPlaneDiagonal", "Focal Plane Diagonal"),
    Row(260, "BodyFirmwareVersion", "Body Firmware Version"),
    Row(513, "LensType", "Lens Type"),
    Row(514, "LensSerialNumber", "Lens Serial Number"),
    Row(515, "LensModel", "Lens Model"),
    Row(516, "LensFirmwareVersion", "Lens Firmware Version"),
    Row(517, "MaxApertureAtMinFocal", "Max Aperture At Min Focal"),
    Row(518, "MaxApertureAtMaxFocal", "Max Aperture At Max Focal"),
    Row(519, "MinFocalLength", "Min Focal Length"),
    Row(520, "MaxFocalLength", "Max Focal Length"),
    Row(522, "MaxAperture", "Max Aperture"),
    Row(523, "LensProperties", "Lens Properties"),
    Row(769, "Extender"),
    Row(770, "ExtenderSerialNumber", "Extender Serial Number"),
    Row(771, "ExtenderModel", "Extender Model"),
    Row(772, "ExtenderFirmwareVersion", "Extender Firmware Version"),
    Row(1027, "ConversionLens", "Conversion Lens"),
    Row(4096, "FlashType", "Flash Type"),
    Row(4097, "FlashModel", "Flash Model"),
    Row(4098, "FlashFirmwareVersion", "Flash Firmware Version"),
    Row(4099, "FlashSerialNumber", "Flash Serial Number"),
};

constexpr TTagEntry kOlympusCameraSettingsTags[] = {
    Row(0, "CameraSettingsVersion", "Camera Settings Version"),
    Values(256, "PreviewImageValid", "Preview Image Valid", "0:No,1:Yes"),
    Row(257, "PreviewImageStart", "Preview Image Start"),
    Row(258, "PreviewImageLength", "Preview Image Length"),
    Values(512, "ExposureMode", "Exposure Mode",
           "1:Manual,2:Program,3:Aperture-priority AE,4:Shutter speed priority AE,5:Program-shift"),
    Values(513, "AELock", "AE Lock", kOnOff),
    Values(514, "MeteringMode", "Metering Mode",
           "2:Center-weighted average,3:Spot,5:ESP,261:Pattern+AF,515:Spot+Highlight control,"
           "1027:Spot+Shadow control"),
    Row(515, "ExposureShift", "Exposure Shift"),
    Values(768, "MacroMode", "Macro Mode", "0:Off,1:On,2:Super Macro"),
    Row(769, "FocusMode", "Focus Mode"),
    Row(770, "FocusProcess", "Focus Process"),
    Row(771, "AFSearch", "AF Search"),
    Row(772, "AFAreas", "AF Areas"),
    Row(1024, "FlashMode", "Flash Mode"),
    Row(1025, "FlashExposureComp", "Flash Exposure Comp"),
    Row(1280, "WhiteBalance2", "White Balance"),
    Row(1281, "WhiteBalanceTemperature", "White Balance Temperature"),
    Row(1282, "WhiteBalanceBracket", "White Balance Bracket"),
    Row(1283, "CustomSaturation", "Custom Saturation"),
    Values(1284, "ModifiedSaturation", "Modified Saturation",
           "0:Off,1:CM1 (Red Enhance),2:CM2 (Green Enhance),3:CM3 (Blue Enhance),4:CM4 (Skin Tones)"),
    Row(1285, "ContrastSetting", "Contrast Setting"),
    Row(1286, "SharpnessSetting", "Sharpness Setting"),
    Values(1287, "ColorSpace", "Color Space", "0:sRGB,1:Adobe RGB,2:Pro Photo RGB"),
    Row(1289, "SceneMode", "Scene Mode"),
    Row(1290, "NoiseReduction", "Noise Reduction"),
    Values(1291, "DistortionCorrection", "Distortion Correction", kOnOff),
    Values(1292, "ShadingCompensation", "Shading Compensation", kOnOff),
    Row(1293, "CompressionFactor", "Compression Factor"),
    Row(1295, "Gradation"),
    Row(1312, "PictureMode", "Picture Mode"),
    Row(1313, "PictureModeSaturation", "Picture Mode Saturation"),
    Row(1536, "DriveMode", "Drive Mode"),
    Values(1537, "PanoramaMode", "Panorama Mode", "0:Off"),
    Values(1539, "ImageQuality2", "Image Quality", "1:SQ,2:HQ,3:SHQ,4:RAW,5:SQ (5)"),
    Row(1540, "ImageStabilization", "Image Stabilization"),
};

}  // namespace

constinit const TTagDictionary OlympusTags = kOlympusTags;
constinit const TTagDictionary OlympusEquipmentTags = kOlympusEquipmentTags;
constinit const TTagDictionary OlympusCameraSettingsTags = kOlympusCameraSettingsTags;

}  // namespace morvane
