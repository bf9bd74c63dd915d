// The image size of a file as "width x height", upright by its orientation. Raw files of the
// cameras in the table below store the size of a preview or none at all; the table knows the
// sensor's output size instead.
#include "presentation/image_dimensions.h"

#include <string>
#include <string_view>

#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"
#include "presentation/tag_queries.h"

namespace morvane {

namespace {

struct TCameraSize {
  std::string_view Make;    // a make row when not empty: the models below it belong to it
  std::string_view Models;  // "|"-separated model texts, any of which matches
  std::string_view Width;
  std::string_view Height;
};

// Tried in order; only the models of the first make that matches are tried.
constexpr TCameraSize kCameraSizes[] = {
    {"NIKON", "D2XS", "4288", "2848"},
    {"", "D40", "3008", "2000"},
    {"", "D80", "3872", "2592"},
    {"", "D200", "3872", "2592"},
    {"", "D70S|D70|D50", "3008", "2000"},
    {"", "D2HS", "2464", "1632"},
    {"", "D2H", "2464", "1632"},
    {"", "D2X", "4288", "2848"},
    {"", "D1H", "2000", "1312"},
    {"", "D1X", "3008", "1960"},
    {"", "D100", "3008", "2000"},
    {"", "D1", "2000", "1312"},
    {"CANON", "30D|1DM2", "3504", "2336"},
    {"", "5D", "4368", "2912"},
    {"", "20D", "3504", "2336"},
    {"", "400D|REBEL XTi|Kiss Digital X", "3906", "2602"},
    {"", "350D|REBEL XT|Kiss Digital N", "3456", "2304"},
    {"", "300D|REBEL|Kiss", "3072", "2048"},
    {"", "1DS MARK II", "4992", "3328"},
    {"", "1DMARK2", "3504", "2336"},
    {"", "1DS", "4064", "2704"},
    {"", "10D", "3072", "2048"},
    {"", "POWERSHOT G1", "2048", "1536"},
    {"", "POWERSHOT G2|POWERSHOT G3", "2272", "1704"},
    {"", "POWERSHOT G5", "2592", "1944"},
    {"", "POWERSHOT G6", "3072", "2304"},
    {"", "POWERSHOT S80", "3264", "2448"},
    {"", "POWERSHOT S70", "3072", "2304"},
    {"", "POWERSHOT S60", "2592", "1944"},
    {"", "POWERSHOT S50", "2592", "1944"},
    {"", "POWERSHOT S45|POWERSHOT S40", "2272", "1704"},
    {"", "POWERSHOT S30", "2048", "1536"},
    {"", "POWERSHOT S3", "2816", "2112"},
    {"", "POWERSHOT S2", "2592", "1944"},
    {"", "POWERSHOT S1", "2048", "1536"},
    {"", "POWERSHOT PRO1", "3264", "2448"},
    {"", "POWERSHOT PRO90", "1856", "1392"},
    {"MINOLTA", "DYNAX 7D", "3008", "2000"},
    {"PANAS", "DMC-FZ30", "3264", "2448"},
    {"EPSON CORP", "R-D1", "3008", "2000"},
    {"SONY", "DSC-R1", "3888", "2592"},
};

bool ModelMatches(std::string_view models, const std::string& model) {
  size_t start = 0;
  while (start <= models.size()) {
    size_t bar = models.find('|', start);
    if (bar == std::string_view::npos) bar = models.size();
    if (ContainsText(model, models.substr(start, bar - start))) return true;
    start = bar + 1;
  }
  return false;
}

// Replaces width and height by the table's when the camera is in it.
void ApplyCameraTable(const std::string& make, const std::string& model, std::string& width,
                      std::string& height) {
  const std::string upper_make = UpperCase(make);
  const std::string upper_model = UpperCase(model);
  bool in_make = false;
  for (const TCameraSize& row : kCameraSizes) {
    if (!row.Make.empty()) {
      if (in_make) return;  // only the first matching make's models are tried
      in_make = upper_make.find(row.Make) != std::string::npos;
    }
    if (in_make && ModelMatches(row.Models, upper_model)) {
      width = row.Width;
      height = row.Height;
      return;
    }
  }
}

}  // namespace

std::string ComputeImgDimensions(TTif& tif) {
  if (tif.IsJpeg() && !SameText(ExtractFileExt(tif.FileName), ".thm")) return tif.ImgDimensions;
  if (tif.IFDs.Empty()) return {};
  const TTifIFD* directory = tif.IFDs[0];
  if (tif.IsDng() && !directory->SubIFDs.Empty()) directory = directory->SubIFDs[0];
  std::string width = GetTagText(*directory, kTagImageWidth);
  std::string height = GetTagText(*directory, kTagImageLength);
  if (width.empty()) width = GetTagText(tif, kTagPixelXDimension, ikAll);
  if (height.empty()) height = GetTagText(tif, kTagPixelYDimension, ikAll);
  if (width.empty()) width = GetTagText(*directory, kTagPixelXDimension);
  if (height.empty()) height = GetTagText(*directory, kTagPixelYDimension);
  if (tif.IsRaw()) ApplyCameraTable(tif.GetMake(), tif.GetModel(), width, height);
  std::string result;
  if (!width.empty()) {
    const TTifTag* orientation = tif.FindTag(kTagOrientation, ikAll);
    const std::string turn = orientation == nullptr ? "1" : orientation->GetValue().AsText();
    result = turn == "1" || turn == "3" ? width + "x" + height : height + "x" + width;
  }
  tif.ImgDimensions = result;
  return result;
}

}  // namespace morvane
