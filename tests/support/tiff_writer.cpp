#include "support/tiff_writer.h"

#include <map>
#include <stdexcept>

namespace morvane::testing {

namespace {

int TypeSize(uint16_t type) {
  static const int sizes[14] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
  return type < 14 ? sizes[type] : 0;
}

}  // namespace

std::string EncodeNumber(Order order, uint64_t value, int size) {
  std::string out(static_cast<size_t>(size), '\0');
  for (int i = 0; i < size; ++i) {
    const auto byte = static_cast<char>((value >> (8 * i)) & 0xFF);
    out[static_cast<size_t>(order == Order::kIntel ? i : size - 1 - i)] = byte;
  }
  return out;
}

int TiffWriter::NewIfd() {
  ifds_.emplace_back();
  return static_cast<int>(ifds_.size()) - 1;
}

void TiffWriter::Add(int ifd, uint16_t tag, uint16_t type, std::vector<uint64_t> numbers) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.numbers = std::move(numbers);
  ifds_[ifd].entries.push_back(std::move(e));
}

void TiffWriter::AddAscii(int ifd, uint16_t tag, const std::string& text) {
  AddBytes(ifd, tag, kAscii, text + std::string(1, '\0'));
}

void TiffWriter::AddBytes(int ifd, uint16_t tag, uint16_t type, std::string bytes) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.kind = Entry::kRawBytes;
  e.bytes = std::move(bytes);
  ifds_[ifd].entries.push_back(std::move(e));
}

void TiffWriter::AddRaw(int ifd, uint16_t tag, uint16_t type, uint32_t count, uint32_t value_field) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.kind = Entry::kRawField;
  e.raw_count = count;
  e.raw_field = value_field;
  ifds_[ifd].entries.push_back(std::move(e));
}

void TiffWriter::AddPointer(int ifd, uint16_t tag, int target) {
  Entry e;
  e.tag = tag;
  e.type = kLong;
  e.kind = Entry::kPointer;
  e.targets = {target};
  ifds_[ifd].entries.push_back(std::move(e));
}

void TiffWriter::AddSubIfds(int ifd, std::vector<int> targets) {
  Entry e;
  e.tag = 330;
  e.type = kLong;
  e.kind = Entry::kSubIfds;
  e.targets = std::move(targets);
  ifds_[ifd].entries.push_back(std::move(e));
}

void TiffWriter::AddBlob(int ifd, uint16_t offset_tag, uint16_t length_tag, std::string blob) {
  blobs_.push_back(std::move(blob));
  Entry offset;
  offset.tag = offset_tag;
  offset.type = kLong;
  offset.kind = Entry::kBlobOffset;
  offset.blob = static_cast<int>(blobs_.size()) - 1;
  Entry length = offset;
  length.tag = length_tag;
  length.kind = Entry::kBlobLength;
  ifds_[ifd].entries.push_back(std::move(offset));
  ifds_[ifd].entries.push_back(std::move(length));
}

void TiffWriter::AddPositioned(int ifd, uint16_t tag, std::function<std::string(uint32_t)> make) {
  Entry e;
  e.tag = tag;
  e.type = kUndefined;
  e.kind = Entry::kPositioned;
  e.make = std::move(make);
  ifds_[ifd].entries.push_back(std::move(e));
}

std::string TiffWriter::Build() const {
  // Pass 1: positions. Each directory is followed by its out-of-line values.
  auto value_bytes = [&](const Entry& e, uint32_t at) -> std::string {
    switch (e.kind) {
      case Entry::kNumbers: {
        std::string out;
        const int size = e.type == kRational || e.type == kSRational ? 4 : TypeSize(e.type);
        for (uint64_t n : e.numbers) out += EncodeNumber(order_, n, size);
        return out;
      }
      case Entry::kRawBytes: return e.bytes;
      case Entry::kSubIfds: return std::string(4 * e.targets.size(), '\0');
      case Entry::kPositioned: return e.make(at);
      default: return std::string(4, '\0');
    }
  };
  std::vector<uint32_t> ifd_pos(ifds_.size());
  std::vector<std::vector<uint32_t>> value_pos(ifds_.size());
  uint32_t pos = 8;
  for (size_t i = 0; i < ifds_.size(); ++i) {
    ifd_pos[i] = pos;
    pos += 2 + 12 * static_cast<uint32_t>(ifds_[i].entries.size()) + 4;
    for (const Entry& e : ifds_[i].entries) {
      const uint32_t size = static_cast<uint32_t>(value_bytes(e, pos).size());
      value_pos[i].push_back(pos);
      if (size > 4 && e.kind != Entry::kRawField) pos += size + (size & 1);
    }
  }
  std::vector<uint32_t> blob_pos;
  for (const std::string& blob : blobs_) {
    blob_pos.push_back(pos);
    pos += static_cast<uint32_t>(blob.size());
  }

  // Pass 2: bytes.
  std::string out = order_ == Order::kIntel ? "II" : "MM";
  out += EncodeNumber(order_, 42, 2);
  out += EncodeNumber(order_, ifds_.empty() ? 0 : ifd_pos[static_cast<size_t>(first_)], 4);
  for (size_t i = 0; i < ifds_.size(); ++i) {
    const Ifd& d = ifds_[i];
    out.resize(ifd_pos[i], '\0');
    out += EncodeNumber(order_, d.count_raw >= 0 ? static_cast<uint64_t>(d.count_raw) : d.entries.size(), 2);
    std::string values;
    for (size_t k = 0; k < d.entries.size(); ++k) {
      const Entry& e = d.entries[k];
      std::string data = value_bytes(e, value_pos[i][k]);
      if (e.kind == Entry::kPointer) data = EncodeNumber(order_, ifd_pos[static_cast<size_t>(e.targets[0])], 4);
      if (e.kind == Entry::kSubIfds) {
        data.clear();
        for (int t : e.targets) data += EncodeNumber(order_, ifd_pos[static_cast<size_t>(t)], 4);
      }
      if (e.kind == Entry::kBlobOffset) data = EncodeNumber(order_, blob_pos[static_cast<size_t>(e.blob)], 4);
      if (e.kind == Entry::kBlobLength) data = EncodeNumber(order_, blobs_[static_cast<size_t>(e.blob)].size(), 4);
      uint32_t count = 0;
      if (e.kind == Entry::kRawField) {
        count = e.raw_count;
      } else if (e.type == kRational || e.type == kSRational) {
        count = static_cast<uint32_t>(e.numbers.size() / 2);
      } else if (TypeSize(e.type) > 0) {
        count = static_cast<uint32_t>(data.size() / static_cast<size_t>(TypeSize(e.type)));
      } else {
        count = static_cast<uint32_t>(data.size());
      }
      out += EncodeNumber(order_, e.tag, 2);
      out += EncodeNumber(order_, e.type, 2);
      out += EncodeNumber(order_, count, 4);
      if (e.kind == Entry::kRawField) {
        out += EncodeNumber(order_, e.raw_field, 4);
      } else if (data.size() <= 4) {
        out += data + std::string(4 - data.size(), '\0');
      } else {
        out += EncodeNumber(order_, value_pos[i][k], 4);
        values.resize(value_pos[i][k] - (ifd_pos[i] + 2 + 12 * static_cast<uint32_t>(d.entries.size()) + 4), '\0');
        values += data;
        if (data.size() & 1) values += '\0';
      }
    }
    uint64_t next = 0;
    if (d.next_raw >= 0) next = static_cast<uint64_t>(d.next_raw);
    else if (d.next >= 0) next = ifd_pos[static_cast<size_t>(d.next)];
    out += EncodeNumber(order_, next, 4);
    out += values;
  }
  for (size_t b = 0; b < blobs_.size(); ++b) {
    out.resize(blob_pos[b], '\0');
    out += blobs_[b];
  }
  return out;
}

std::string TiffWriter::EncodeIfd(
    Order order, uint32_t position, uint32_t relative_to,
    const std::vector<std::pair<uint16_t, std::pair<uint16_t, std::vector<uint64_t>>>>& numeric,
    uint32_t next) {
  std::string head = EncodeNumber(order, numeric.size(), 2);
  std::string values;
  const uint32_t values_start = position + 2 + 12 * static_cast<uint32_t>(numeric.size()) + 4;
  for (const auto& [tag, typed] : numeric) {
    const auto& [type, numbers] = typed;
    const int size = type == kRational || type == kSRational ? 4 : TypeSize(type);
    std::string data;
    for (uint64_t n : numbers) data += EncodeNumber(order, n, size);
    const uint32_t count = static_cast<uint32_t>(type == kRational || type == kSRational ? numbers.size() / 2 : numbers.size());
    head += EncodeNumber(order, tag, 2) + EncodeNumber(order, type, 2) + EncodeNumber(order, count, 4);
    if (data.size() <= 4) {
      head += data + std::string(4 - data.size(), '\0');
    } else {
      head += EncodeNumber(order, values_start + values.size() - relative_to, 4);
      values += data;
    }
  }
  head += EncodeNumber(order, next, 4);
  return head + values;
}

}  // namespace morvane::testing
