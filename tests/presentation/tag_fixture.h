// In-memory metadata for the presentation tests: a reader whose directories are filled tag by
// tag, as the container readers fill them, without a file behind it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "metadata/tif_reader.h"

namespace morvane::testing {

class TagFixture {
 public:
  explicit TagFixture(const std::string& file_name = "photo.nef") {
    tif->FileName = file_name;
    tif->ByteOrder = tboIntel;
  }

  TTifIFD& Ifd0() { return tif->IFDs.Empty() ? *tif->IFDs.Add() : *tif->IFDs[0]; }

  static TTifTag* Text(TTifIFD& directory, int number, const std::string& text) {
    TTifTag* tag = New(directory, number, tdfAsciiString);
    tag->SetValue(text);
    return tag;
  }
  static TTifTag* Shorts(TTifIFD& directory, int number, std::initializer_list<uint16_t> values) {
    TTifTag* tag = New(directory, number, tdfUnsignedShort);
    for (uint16_t v : values) {
      tag->DataStream.WriteByte(static_cast<uint8_t>(v & 0xFF));
      tag->DataStream.WriteByte(static_cast<uint8_t>(v >> 8));
    }
    tag->Components = static_cast<int32_t>(values.size());
    return tag;
  }
  // Rationals as numerator, denominator pairs.
  static TTifTag* Rationals(TTifIFD& directory, int number, std::initializer_list<uint32_t> pairs) {
    TTifTag* tag = New(directory, number, tdfUnsignedRational);
    for (uint32_t v : pairs)
      for (int i = 0; i < 4; ++i) tag->DataStream.WriteByte(static_cast<uint8_t>(v >> (8 * i)));
    tag->Components = static_cast<int32_t>(pairs.size() / 2);
    return tag;
  }
  static TTifTag* Bytes(TTifIFD& directory, int number, const std::string& bytes) {
    TTifTag* tag = New(directory, number, tdfUndefined);
    tag->DataStream.Write(bytes.data(), bytes.size());
    tag->Components = static_cast<int32_t>(bytes.size());
    return tag;
  }

  void Camera(const std::string& make, const std::string& model = "") {
    Text(Ifd0(), 271, make);
    if (!model.empty()) Text(Ifd0(), 272, model);
    tif->ExifMarkerNotesIFD.CameraMake = make;
  }

  std::unique_ptr<TTif> tif = std::make_unique<TTif>();

 private:
  static TTifTag* New(TTifIFD& directory, int number, TTifTagDataFormat format) {
    TTifTag* tag = directory.Tags.Add();
    tag->TagNumber = number;
    tag->DataFormat = format;
    return tag;
  }
};

}  // namespace morvane::testing
