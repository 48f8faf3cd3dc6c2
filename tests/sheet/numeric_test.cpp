#include "sheet/numeric.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kavelin::sheet {
namespace {

struct Case {
  std::u16string_view text;
  double value;
};

TEST(NumericValue, LeadingNumberRule) {
  const std::vector<Case> cases = {
      {u"15", 15},         {u" 1 5 ", 15},
      {u"1\t2\n3", 123},   {u"&H1F", 31},
      {u"&h1f", 31},       {u"&HFFFF", 65535},
      {u"& H 1 F", 31},    {u"&O17", 15},
      {u"&O19", 1},        {u"&Hxyz", 0},
      {u"&", 0},           {u"-5", -5},
      {u"+5", 5},          {u"- 5", -5},
      {u".5", 0.5},        {u"-.5", -0.5},
      {u"5.", 5},          {u"1.2.3", 1.2},
      {u"12ab", 12},       {u"", 0},
      {u"abc", 0},         {u"-", 0},
      {u"+-5", 0},         {u".", 0},
      {u"7.5", 7.5},       {u"0128", 128},
      {u"1e3", 1},         {u"12\r3", 12},
      {u"１５", 15},       {u"\u30001\u30005", 15},
      {u"－７．５", -7.5}, {u"＆Ｈ１Ｆ", 31},
      {u"0.1", 0.1},       {u"900.0000001", 900.0000001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumericValue(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
  EXPECT_FALSE(std::signbit(NumericValue(u"-0")));
  EXPECT_FALSE(std::signbit(NumericValue(u"-abc")));
}

// After &O only 0 to 7 are digits, after &H only 0 to 9 and A to F in either case. The
// characters either side of each range stop the number, whatever digits follow them.
TEST(NumericValue, DigitBoundariesOfOctalAndHexadecimal) {
  const std::vector<Case> cases = {
      {u"&O0", 0},   {u"&O7", 7},   {u"&O8", 0},    {u"&O9", 0},   {u"&O/", 0},   {u"&O10", 8},
      {u"&O17", 15}, {u"&O18", 1},  {u"&O77", 63},  {u"&O1A", 1},  {u"&OA", 0},   {u"&o8", 0},
      {u"&O７", 7},  {u"&O８", 0},  {u"&H0", 0},    {u"&H9", 9},   {u"&H/", 0},   {u"&H:", 0},
      {u"&H1:", 1},  {u"&HA", 10},  {u"&HF", 15},   {u"&H@", 0},   {u"&HG", 0},   {u"&HFG", 15},
      {u"&Ha", 10},  {u"&Hf", 15},  {u"&H`", 0},    {u"&Hg", 0},   {u"&H1g", 1},  {u"&HＦ", 15},
      {u"&HＧ", 0},  {u"&H10", 16}, {u"&HAF", 175}, {u"&O181", 1}, {u"&O8 1", 0}, {u"&HG1", 0},
      {u"&H1G1", 1}, {u"&H1:1", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumericValue(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(NumericValue, ExtremeLengthsStayFinitePrecise) {
  EXPECT_TRUE(std::isinf(NumericValue(std::u16string(400, u'9'))));
  EXPECT_EQ(NumericValue(u"0." + std::u16string(400, u'0') + u"1"), 0);
  EXPECT_EQ(NumericValue(std::u16string(100000, u' ') + u"42"), 42);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  const std::vector<std::pair<double, double>> cases = {
      {0.5, 0},  {1.5, 2},  {2.5, 2},  {3.5, 4},   {7.5, 8},   {8.5, 8},
      {0.49, 0}, {0.51, 1}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {899.5, 900},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(Rounding, BytesAndWordsAreClampedNeverUndefined) {
  EXPECT_EQ(RoundToByte(254.5), 254);
  EXPECT_EQ(RoundToByte(255), 255);
  EXPECT_EQ(RoundToByte(300), 255);
  EXPECT_EQ(RoundToByte(-3), 0);
  EXPECT_EQ(RoundToByte(NAN), 0);
  EXPECT_EQ(RoundToByte(INFINITY), 255);
  EXPECT_EQ(RoundToWord(900.5), 900);
  EXPECT_EQ(RoundToWord(1e12), 65535);
}

}  // namespace
}  // namespace kavelin::sheet
