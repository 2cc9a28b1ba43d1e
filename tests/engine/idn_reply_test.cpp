#include <gtest/gtest.h>

#include "link/idn_reply.h"

namespace lmv::test {
namespace {

TEST(ModelIndexOfReply, ExactModelNamesOnly) {
  EXPECT_EQ(modelIndexOfReply("LX5810"), 0);
  EXPECT_EQ(modelIndexOfReply("LX5811"), 1);
  EXPECT_EQ(modelIndexOfReply("LX5812"), std::nullopt);
  EXPECT_EQ(modelIndexOfReply("LX5810 "), std::nullopt);
  EXPECT_EQ(modelIndexOfReply(""), std::nullopt);
}

TEST(ParseIdnReply, SerialNumberAndFirmware) {
  const std::string longSerial(40, 'S');
  struct Case {
    std::string reply;
    IdnFields expected;
  } cases[] = {
      {"TAVEK,LX5810,A1234567, VER 1.00", {"A1234567", "1.00"}},
      {"TAVEK,LX5810,A1234567,VER 0.24", {"A1234567", "0.24"}},
      {"TAVEK,LX5811,12,FW: 0.23,extra", {"12", "0.23,extra"}},
      // Two commas: no serial number, the version 4 characters into the third field.
      {"TAVEK,LX5810,VER 0.24", {"", "0.24"}},
      {"TAVEK,LX5810, VER 1.00", {"", "1.00"}},
      {"TAVEK,LX5810," + longSerial + ",VER 1.00", {std::string(31, 'S'), "1.00"}},
      {"TAVEK,LX5810,S,VER 1.00.0000000000000000", {"S", "1.00.000000000"}},
      {"TAVEK,LX5810,S,VER", {"S", ""}},
      {"TAVEK", {"", ""}},
      {"", {"", ""}},
      {",,,", {"", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseIdnReply(c.reply), c.expected) << c.reply;
}

TEST(FirmwareTooOld, BelowZeroPointTwentyFour) {
  EXPECT_TRUE(firmwareTooOld("0.23"));
  EXPECT_TRUE(firmwareTooOld("0.09"));
  EXPECT_FALSE(firmwareTooOld("0.24"));
  EXPECT_FALSE(firmwareTooOld("0.30"));
  EXPECT_FALSE(firmwareTooOld("1.00"));
  EXPECT_FALSE(firmwareTooOld("2.15 beta"));
  EXPECT_TRUE(firmwareTooOld(""));
  EXPECT_TRUE(firmwareTooOld("0"));
}

}  // namespace
}  // namespace lmv::test
