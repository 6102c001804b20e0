// The command bodies: arguments after the unit, omitted ones, variables by
// reference, and results.

#include "extunits/media/commands.h"

#include <gtest/gtest.h>

#include "tests/extunits/media/fake_mci.h"

namespace {

using fakemci::Fake;
using Lines = std::vector<std::string>;

const char kAlias[] = "00112233445566778899aabbccddeeff";
const rt::ArgRecord kUnit = rt::MakeUnitRef(0x52010001, 0x1601004e, 0x00060006);
const rt::ArgRecord kOmitted{};

class MediaCommandsTest : public ::testing::Test {
 protected:
  rt::ArgRecord Run(int command, std::vector<rt::ArgRecord> args) {
    args.insert(args.begin(), kUnit);
    rt::ArgRecord result{};
    media::kPlayerCommands[command](player_, result, static_cast<int32_t>(args.size()),
                                    args.data());
    return result;
  }
  rt::ArgRecord Variable(int32_t* v) {
    rt::ArgRecord r = rt::MakeInt(0);
    rt::SetAddress(r, reinterpret_cast<uintptr_t>(v));
    return r;
  }

  fakemci::Installed fake_{kAlias};
  media::MciPlayer player_{kAlias};
};

enum { kGetVolume, kSetVolume, kOpen, kPlay, kTogglePause, kGetPosition, kGetLength };

TEST_F(MediaCommandsTest, ArgumentsReachThePlayer) {
  Fake().windows = {static_cast<uintptr_t>(intptr_t{-2})};
  EXPECT_EQ(Run(kOpen, {rt::MakeText("a b.mp3")}).low, 1u);
  EXPECT_EQ(Run(kPlay, {rt::MakeShort(-1), rt::MakeInt(-2)}).low, 1u);
  EXPECT_EQ(Run(kPlay, {rt::MakeDouble(250.9), kOmitted}).low, 1u);
  EXPECT_EQ(Run(kPlay, {}).low, 1u);
  EXPECT_EQ(Run(kSetVolume, {kOmitted, rt::MakeInt(40)}).low, 0u);
  EXPECT_EQ(Run(kTogglePause, {}).type, rt::TypeCode::Bool);
  EXPECT_EQ(Fake().sent,
            (Lines{"close %s", "open MPEGvideo|a b.mp3|%s", "window %s handle -2", "play %s",
                   "play %s from 250", "play %s", "setaudio %s right volume to 400", "pause %s"}));
}

TEST_F(MediaCommandsTest, NumbersAndVariables) {
  Fake().answers["status %s left volume"] = {0, "730"};
  Fake().answers["status %s right volume"] = {0, "250"};
  Fake().answers["status %s length"] = {0, "2300"};
  Fake().otherError = 263;
  int32_t left = 0, right = 0;
  EXPECT_EQ(Run(kGetVolume, {Variable(&left), Variable(&right)}).low, 1u);
  EXPECT_EQ(left, 73);
  EXPECT_EQ(right, 25);
  left = 5;
  EXPECT_EQ(Run(kGetVolume, {kOmitted, Variable(&right)}).low, 1u);
  EXPECT_EQ(left, 5);
  const rt::ArgRecord length = Run(kGetLength, {});
  EXPECT_EQ(length.low, 2300u);
  EXPECT_EQ(length.type, rt::TypeCode::Int);
  EXPECT_EQ(static_cast<int32_t>(Run(kGetPosition, {}).low), -1);
}

}  // namespace
