#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "audio/SoundTable.h"

namespace braxo {
namespace {

// Everything a FakeBackend was asked to do; owned by the test so it outlives the table.
struct BackendLog {
  int open_calls = 0;
  int close_calls = 0;
  // The channels made for each sound, keyed by the sound's bytes read as text.
  std::map<std::string, std::vector<ChannelHandle>> channels_by_bytes;
  std::vector<ChannelHandle> played;
};

class FakeBackend final : public AudioBackend {
 public:
  // Bytes listed in `handles_for` get exactly those handles instead of fresh ones.
  FakeBackend(BackendLog* log, bool opens,
              std::map<std::string, std::vector<ChannelHandle>> handles_for = {})
      : log_(log), opens_(opens), handles_for_(std::move(handles_for)) {}

  bool Open() override {
    ++log_->open_calls;
    return opens_;
  }

  std::vector<ChannelHandle> CreateChannels(std::span<const std::uint8_t> bytes,
                                            int count) override {
    const std::string key(bytes.begin(), bytes.end());
    std::vector<ChannelHandle> handles;
    if (const auto fixed = handles_for_.find(key); fixed != handles_for_.end()) {
      handles = fixed->second;
    } else {
      for (int i = 0; i < count; ++i) handles.push_back(next_handle_++);
    }
    log_->channels_by_bytes[key] = handles;
    return handles;
  }

  void PlayChannel(ChannelHandle channel) override { log_->played.push_back(channel); }

  void Close() override { ++log_->close_calls; }

 private:
  BackendLog* log_;
  bool opens_;
  std::map<std::string, std::vector<ChannelHandle>> handles_for_;
  ChannelHandle next_handle_ = 1;
};

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Every sound's bytes are its own name, so the log tells the sounds apart.
std::vector<std::uint8_t> NameAsBytes(std::string_view name) { return Bytes(name); }

// The handle of channel `number` (1-4) of the sound whose bytes are `name`.
ChannelHandle Channel(const BackendLog& log, const std::string& name, int number) {
  return log.channels_by_bytes.at(name).at(static_cast<std::size_t>(number - 1));
}

TEST(SoundTableTest, InitSoundLoadsEveryGameSoundByItsExactName) {
  BackendLog log;
  SoundTable table(std::make_unique<FakeBackend>(&log, true));
  std::vector<std::string> asked;
  const std::optional<std::string> message = table.InitSound([&](std::string_view name) {
    asked.emplace_back(name);
    return NameAsBytes(name);
  });

  EXPECT_EQ(message, std::nullopt);
  EXPECT_EQ(asked, (std::vector<std::string>{"SClick1", "SClick2", "SHaHa", "SSton", "STada",
                                             "STimer", "SBegin", "SEnd"}));
  for (const std::string& name : asked) {
    EXPECT_EQ(log.channels_by_bytes.at(name).size(), 4u) << name;
  }
  EXPECT_EQ(log.open_calls, 1);
}

struct RotationCase {
  std::string label;
  std::vector<std::string> plays;
  // Each expected play as (sound, channel number 1-4).
  std::vector<std::pair<std::string, int>> expected;
};

TEST(SoundTableTest, EachSoundTakesItsFourChannelsInTurn) {
  const std::vector<RotationCase> cases = {
      {"five plays of one sound wrap to the first channel",
       {"STimer", "STimer", "STimer", "STimer", "STimer"},
       {{"STimer", 1}, {"STimer", 2}, {"STimer", 3}, {"STimer", 4}, {"STimer", 1}}},
      {"interleaved sounds keep separate turns",
       {"SClick1", "SClick2", "SClick1", "STimer", "SClick1", "SClick1", "SClick2", "SClick1"},
       {{"SClick1", 1},
        {"SClick2", 1},
        {"SClick1", 2},
        {"STimer", 1},
        {"SClick1", 3},
        {"SClick1", 4},
        {"SClick2", 2},
        {"SClick1", 1}}},
      {"nine plays go round twice and start a third time",
       {"SEnd", "SEnd", "SEnd", "SEnd", "SEnd", "SEnd", "SEnd", "SEnd", "SEnd"},
       {{"SEnd", 1},
        {"SEnd", 2},
        {"SEnd", 3},
        {"SEnd", 4},
        {"SEnd", 1},
        {"SEnd", 2},
        {"SEnd", 3},
        {"SEnd", 4},
        {"SEnd", 1}}},
      {"every sound starts on its first channel",
       {"SClick1", "SClick2", "SHaHa", "SSton", "STada", "STimer", "SBegin", "SEnd"},
       {{"SClick1", 1},
        {"SClick2", 1},
        {"SHaHa", 1},
        {"SSton", 1},
        {"STada", 1},
        {"STimer", 1},
        {"SBegin", 1},
        {"SEnd", 1}}},
  };
  for (const RotationCase& c : cases) {
    BackendLog log;
    SoundTable table(std::make_unique<FakeBackend>(&log, true));
    ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);
    for (const std::string& name : c.plays) table.PlaySoundEffect(name);

    std::vector<ChannelHandle> expected;
    for (const auto& [name, number] : c.expected) expected.push_back(Channel(log, name, number));
    EXPECT_EQ(log.played, expected) << c.label;
  }
}

TEST(SoundTableTest, UnknownNamePlaysNothingAndKeepsTheTurn) {
  const std::vector<std::string> unknown_names = {"",        "stimer",  "STIMER",
                                                  "STimer ", " STimer", std::string("STimer\0", 7),
                                                  "SClick",  "SClick3", "Tada"};
  for (const std::string& unknown : unknown_names) {
    BackendLog log;
    SoundTable table(std::make_unique<FakeBackend>(&log, true));
    ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);
    table.PlaySoundEffect("STimer");
    table.PlaySoundEffect(unknown);
    EXPECT_EQ(log.played, (std::vector<ChannelHandle>{Channel(log, "STimer", 1)}))
        << "'" << unknown << "'";
    table.PlaySoundEffect("STimer");
    EXPECT_EQ(log.played.back(), Channel(log, "STimer", 2)) << "'" << unknown << "'";
  }
}

TEST(SoundTableTest, FailedOutputReportsTheMessageOnceAndLeavesEverySoundSilent) {
  BackendLog log;
  SoundTable table(std::make_unique<FakeBackend>(&log, false));
  int loads = 0;
  const SoundLoader loader = [&](std::string_view name) {
    ++loads;
    return NameAsBytes(name);
  };

  EXPECT_EQ(table.InitSound(loader), std::optional<std::string>("Error initializing audio!"));
  EXPECT_EQ(table.InitSound(loader), std::nullopt);
  EXPECT_EQ(log.open_calls, 1);
  EXPECT_EQ(loads, 0);

  for (int round = 0; round < 5; ++round) {
    for (std::string_view name : kSoundNames) table.PlaySoundEffect(name);
  }
  EXPECT_TRUE(log.played.empty());
  EXPECT_TRUE(log.channels_by_bytes.empty());
  table.FreeSound();
  table.PlaySoundEffect("SBegin");
  EXPECT_TRUE(log.played.empty());
}

TEST(SoundTableTest, SoundWithoutBytesIsSilentAloneAndOthersPlay) {
  BackendLog log;
  SoundTable table(std::make_unique<FakeBackend>(&log, true));
  ASSERT_EQ(table.InitSound([](std::string_view name) {
    return name == "SHaHa" ? std::vector<std::uint8_t>{} : NameAsBytes(name);
  }),
            std::nullopt);

  table.PlaySoundEffect("SHaHa");
  table.PlaySoundEffect("STada");
  EXPECT_EQ(log.channels_by_bytes.count(""), 0u);
  EXPECT_EQ(log.played, (std::vector<ChannelHandle>{Channel(log, "STada", 1)}));
}

TEST(SoundTableTest, ChannelsThatCouldNotBeMadeStillTakeTheirTurn) {
  BackendLog log;
  // "SSton" does not decode at all; "SEnd" gets only two of its four channels.
  SoundTable table(std::make_unique<FakeBackend>(
      &log, true,
      std::map<std::string, std::vector<ChannelHandle>>{
          {"SSton", {kNoChannel, kNoChannel, kNoChannel, kNoChannel}}, {"SEnd", {901, 902}}}));
  ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);

  for (int i = 0; i < 5; ++i) table.PlaySoundEffect("SSton");
  EXPECT_TRUE(log.played.empty());

  for (int i = 0; i < 6; ++i) table.PlaySoundEffect("SEnd");
  EXPECT_EQ(log.played, (std::vector<ChannelHandle>{901, 902, 901, 902}));
}

TEST(SoundTableTest, PlayBeforeInitSoundDoesNothing) {
  BackendLog log;
  SoundTable table(std::make_unique<FakeBackend>(&log, true));
  table.PlaySoundEffect("SBegin");
  EXPECT_EQ(log.open_calls, 0);
  EXPECT_TRUE(log.played.empty());

  ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);
  table.PlaySoundEffect("SBegin");
  EXPECT_EQ(log.played, (std::vector<ChannelHandle>{Channel(log, "SBegin", 1)}));
}

TEST(SoundTableTest, FreeSoundClosesTheOutputAndSilencesTheTableForGood) {
  BackendLog log;
  SoundTable table(std::make_unique<FakeBackend>(&log, true));
  ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);
  table.PlaySoundEffect("SClick2");
  table.FreeSound();
  EXPECT_EQ(log.close_calls, 1);

  table.PlaySoundEffect("SClick2");
  EXPECT_EQ(table.InitSound(NameAsBytes), std::nullopt);
  table.PlaySoundEffect("SClick2");
  EXPECT_EQ(log.played.size(), 1u);
  EXPECT_EQ(log.open_calls, 1);
}

TEST(SoundTableTest, DestroyingTheTableClosesTheOutput) {
  BackendLog log;
  {
    SoundTable table(std::make_unique<FakeBackend>(&log, true));
    ASSERT_EQ(table.InitSound(NameAsBytes), std::nullopt);
  }
  EXPECT_EQ(log.close_calls, 1);
}

}  // namespace
}  // namespace braxo
