// Fujifilm maker notes.
#include "presentation/tag_tables.h"

#include <string_view>

#include "presentation/tag_rows.h"

namespace morvane {

namespace {

// Value lists too long for their row.
constexpr std::string_view kWhiteBalance =
    "0:Auto,256:Daylight,512:Cloudy,768:DaylightColor-fluorescence,769:DaywhiteColor-fluorescence,"
    "770:White-fluorescence,1024:Incandenscense,3840:Custom white balance.";

constexpr std::string_view kPictureMode =
    "0:Auto,1:Portrait scene,2:Landscape scene,4:Sports scene,5:Night scene,6:Program AE,"
    "256:Aperture prior AE,512:Shutter prior AE,768:Manual exposure";

constexpr TTagEntry kFujifilmTags[] = {
    Row(0, "Version"),
    Row(4096, "Quality"),
    Values(4097, "Sharpness", "Sharpness", "1:Soft,2:Soft,3:Normal,4:Hard,5:Hard"),
    Values(4098, "WhiteBalance", "WhiteBalance", kWhiteBalance),
    Values(4099, "Color", "Color", "0:Normal,256:High,512:Low"),
    Values(4100, "Tone", "Tone", "0:Normal,256:High,512:Low"),
    Values(4112, "FlashMode", "FlashMode", "0:Auto,1:On,2:Off,3:Red-eye reduction"),
    Row(4113, "FlashStrength"),
    Values(4128, "Macro", "Macro", "0:Off,1:On"),
    Values(4129, "Focusmode", "Focusmode", "0:Auto Focus,1:Manual Focus"),
    Values(4144, "SlowSync", "SlowSync", "0:Off,1:On"),
    Values(4145, "PictureMode", "PictureMode", kPictureMode),
    Row(4146, "Skip"),
    Values(4352, "ContTake/Bracket", "ContTake/Bracket", "0:Off,1:On"),
    Row(4608, "Skip"),
    Values(4864, "BlurWarning", "BlurWarning", "0:No blur warning,1:Blur warning"),
    Values(4865, "FocusWarning", "FocusWarning", "0:Auto Focus good,1:Out of focus"),
    Values(4866, "AEWarning", "AEWarning", "0:AE good,1:Over exposure"),
};

}  // namespace

constinit const TTagDictionary FujifilmTags = kFujifilmTags;

}  // namespace morvane
