// The bounded box walk: nesting, 64-bit and to-the-end sizes, extended types, and damaged
// sizes that end a level's walk with the boxes read before them.
#include "metadata/bmff_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/bmff_writer.h"

namespace morvane {
namespace {

using testing::BigEndian32;
using testing::Box;
using testing::LargeBox;
using testing::UuidBox;

std::vector<std::string> TypesOf(const std::vector<TBmffBox>& boxes) {
  std::vector<std::string> types;
  for (const TBmffBox& box : boxes) types.push_back(box.Type);
  return types;
}

TEST(BmffWalkTest, NestedBoxesWithEveryKindOfSize) {
  const std::string uuid(16, '\x7f');
  const std::string file = Box("ftyp", "crx ") + Box("moov", Box("trak", Box("tkhd", "x")) + UuidBox(uuid, "body")) +
                           LargeBox("mdat", "picture") + BigEndian32(0) + "free" + "to the end";
  TMemoryStream stream(file);
  TBmffWalk walk(stream);
  const auto top = walk.TopLevel();
  ASSERT_EQ(TypesOf(top), (std::vector<std::string>{"ftyp", "moov", "mdat", "free"}));
  EXPECT_EQ(top[2].Body, top[2].Start + 16);
  EXPECT_EQ(top[2].BodySize(), 7);
  EXPECT_EQ(top[3].End, static_cast<int64_t>(file.size()));

  const auto inner = walk.Children(top[1]);
  ASSERT_EQ(TypesOf(inner), (std::vector<std::string>{"trak", "uuid"}));
  EXPECT_EQ(inner[1].Uuid, uuid);
  EXPECT_EQ(inner[1].BodySize(), 4);
  const auto header = walk.Descend(top[1], {"trak", "tkhd"});
  ASSERT_TRUE(header);
  EXPECT_EQ(header->Depth, 2);
  EXPECT_FALSE(walk.Descend(top[1], {"trak", "mdia"}));
}

TEST(BmffWalkTest, DamagedSizesEndTheLevelWithTheBoxesBefore) {
  const std::string good = Box("ftyp", "crx ");
  const struct {
    const char* what;
    std::string file;
    std::vector<std::string> top;
    std::vector<std::string> inside_moov;
  } cases[] = {
      {"size below the header", good + Box("moov", "", 4) + Box("free", ""), {"ftyp"}, {}},
      {"64-bit size below its header", good + BigEndian32(1) + "moov" + std::string(7, '\0') + "\x0f", {"ftyp"}, {}},
      {"size beyond the file", good + Box("moov", Box("trak", ""), 1000), {"ftyp"}, {}},
      {"child beyond its parent", good + Box("moov", Box("trak", "") + Box("mdia", "", 400)) + Box("free", std::string(500, 'x')),
       {"ftyp", "moov", "free"}, {"trak"}},
      {"header cut by the file's end", good + "\0\0", {"ftyp"}, {}},
      {"uuid box too short for its type", good + Box("uuid", "short"), {"ftyp"}, {}},
      {"a zero size inside a parent ends at the parent", good + Box("moov", BigEndian32(0) + "trak" + "rest") + Box("free", ""),
       {"ftyp", "moov", "free"}, {"trak"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream stream(c.file);
    TBmffWalk walk(stream);
    const auto top = walk.TopLevel();
    EXPECT_EQ(TypesOf(top), c.top);
    if (top.size() > 1 && top[1].Type == "moov") {
      EXPECT_EQ(TypesOf(walk.Children(top[1])), c.inside_moov);
    }
  }
}

TEST(BmffWalkTest, DepthAndBoxCountAreBounded) {
  std::string nested = Box("leaf", "");
  for (int i = 0; i < kMaxBmffDepth + 4; ++i) nested = Box("moov", nested);
  TMemoryStream deep(nested);
  TBmffWalk walk(deep);
  auto boxes = walk.TopLevel();
  int levels = 0;
  while (!boxes.empty()) {
    ++levels;
    boxes = walk.Children(boxes[0]);
  }
  EXPECT_EQ(levels, kMaxBmffDepth + 1);

  std::string many;
  for (int i = 0; i < kMaxBmffBoxes + 100; ++i) many += Box("free", "");
  TMemoryStream wide(many);
  TBmffWalk count(wide);
  EXPECT_EQ(count.TopLevel().size(), static_cast<size_t>(kMaxBmffBoxes));
  EXPECT_EQ(count.BoxesLeft(), 0);
  EXPECT_TRUE(count.TopLevel().empty());
}

}  // namespace
}  // namespace morvane
