// Comma texts: quoting on write, splitting and unquoting on read, and the round trip that the
// IPTC reader relies on when it appends to a gathered dataset.
#include "metadata/comma_text.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using Items = std::vector<std::string>;

struct WriteCase {
  Items items;
  std::string text;
};

TEST(CommaTextTest, QuotesItemsThatNeedIt) {
  const WriteCase cases[] = {
      {{}, ""},
      {{"Alps"}, "Alps"},
      {{"Alps", "Mont Blanc", "Snow"}, "Alps,\"Mont Blanc\",Snow"},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"tab\there"}, "\"tab\there\""},
      {{"x", ""}, "x,"},
      {{""}, "\"\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommaText(c.items), c.text);
    EXPECT_EQ(ReadCommaText(c.text), c.items) << c.text;
  }
}

TEST(CommaTextTest, SplitsAtCommasAndBlanksOutsideQuotes) {
  const std::pair<std::string, Items> cases[] = {
      {"a b", {"a", "b"}},
      {"  a ,  b  ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"\"un terminated", {"un terminated"}},
      {"\"a\"b", {"a", "b"}},
      {std::string("a,b\0,c", 6), {"a", "b"}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(ReadCommaText(text), items) << text;
}

}  // namespace
}  // namespace morvane
