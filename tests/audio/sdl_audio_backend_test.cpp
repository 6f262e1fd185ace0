#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "audio/SdlAudioBackend.h"
#include "audio/SoundTable.h"

namespace braxo {
namespace {

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A mono 16-bit PCM WAV file holding a quiet 440 Hz tone.
std::vector<std::uint8_t> MakeWav(int milliseconds, int sample_rate = 22050) {
  const std::uint32_t samples = static_cast<std::uint32_t>(sample_rate) * milliseconds / 1000;
  const std::uint32_t data_size = samples * 2;
  std::vector<std::uint8_t> wav;
  PutText(wav, "RIFF");
  PutLittleEndian(wav, 36 + data_size, 4);
  PutText(wav, "WAVE");
  PutText(wav, "fmt ");
  PutLittleEndian(wav, 16, 4);
  PutLittleEndian(wav, 1, 2);  // PCM
  PutLittleEndian(wav, 1, 2);  // mono
  PutLittleEndian(wav, static_cast<std::uint32_t>(sample_rate), 4);
  PutLittleEndian(wav, static_cast<std::uint32_t>(sample_rate) * 2, 4);
  PutLittleEndian(wav, 2, 2);
  PutLittleEndian(wav, 16, 2);
  PutText(wav, "data");
  PutLittleEndian(wav, data_size, 4);
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / sample_rate;
    const auto sample =
        static_cast<std::int16_t>(2000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * t));
    PutLittleEndian(wav, static_cast<std::uint16_t>(sample), 2);
  }
  return wav;
}

// Long enough to be still playing for the whole of any test that uses it.
constexpr int kLongSoundMs = 10000;

// SDL2_mixer reports the end of a channel's sound (finished or cut off) only through a
// plain function.
std::atomic<int> finished_sounds{0};
void CountFinishedSound(int /*channel*/) { ++finished_sounds; }

// Runs on SDL's driver-less "dummy" output unless SDL_AUDIODRIVER already names a driver,
// and puts the variable back afterwards.
class SdlAudioBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* driver = std::getenv("SDL_AUDIODRIVER")) saved_driver_ = driver;
    test_driver_ = saved_driver_.value_or("dummy");
    setenv("SDL_AUDIODRIVER", test_driver_.c_str(), 1);
    finished_sounds = 0;
  }

  void TearDown() override {
    if (saved_driver_) {
      setenv("SDL_AUDIODRIVER", saved_driver_->c_str(), 1);
    } else {
      unsetenv("SDL_AUDIODRIVER");
    }
  }

  std::optional<std::string> saved_driver_;
  std::string test_driver_;
};

TEST_F(SdlAudioBackendTest, PlayedChannelIsBusyOnTheMixer) {
  SdlAudioBackend backend;
  ASSERT_TRUE(backend.Open()) << backend.LastError();
  const std::vector<std::uint8_t> wav = MakeWav(kLongSoundMs);
  const std::vector<ChannelHandle> channels = backend.CreateChannels(wav, 4);
  ASSERT_EQ(channels.size(), 4u);
  for (ChannelHandle channel : channels) {
    ASSERT_NE(channel, kNoChannel) << backend.LastError();
    EXPECT_EQ(Mix_Playing(SdlAudioBackend::MixerChannel(channel)), 0);
  }

  backend.PlayChannel(channels[2]);
  EXPECT_NE(Mix_Playing(SdlAudioBackend::MixerChannel(channels[2])), 0);
  EXPECT_EQ(Mix_Playing(-1), 1);
}

// The game opens the output and decodes its sounds on a start-up thread, then
// plays them from the window's thread. In the sanitizer build this also checks
// that the ended thread left none of SDL's per-thread state behind.
TEST_F(SdlAudioBackendTest, OpenedAndFilledOnAnotherThreadPlaysHere) {
  SdlAudioBackend backend;
  const std::vector<std::uint8_t> wav = MakeWav(kLongSoundMs);
  const std::vector<std::uint8_t> not_a_sound = {'n', 'o', 'i', 's', 'e'};
  bool opened = false;
  std::vector<ChannelHandle> channels;
  std::vector<ChannelHandle> silent;
  std::thread([&] {
    opened = backend.Open();
    silent = backend.CreateChannels(not_a_sound, 2);  // leaves an error text on this thread
    channels = backend.CreateChannels(wav, 2);
  }).join();
  ASSERT_TRUE(opened) << backend.LastError();
  EXPECT_EQ(silent, std::vector<ChannelHandle>(2, kNoChannel));
  ASSERT_EQ(channels.size(), 2u);
  ASSERT_NE(channels[0], kNoChannel) << backend.LastError();

  backend.PlayChannel(channels[0]);
  EXPECT_NE(Mix_Playing(SdlAudioBackend::MixerChannel(channels[0])), 0);
  std::thread([&] { backend.Close(); }).join();
  // Closed on that thread, the output is free to open again here.
  SdlAudioBackend again;
  ASSERT_TRUE(again.Open()) << again.LastError();
  EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SdlAudioBackendTest, FourPlaysOverlapAndAFifthLeavesTheFirstSoundPlaying) {
  SoundTable table(std::make_unique<SdlAudioBackend>());
  const std::vector<std::uint8_t> wav = MakeWav(kLongSoundMs);
  ASSERT_EQ(table.InitSound([&](std::string_view name) {
    return name == "STimer" || name == "SClick1" ? wav : std::vector<std::uint8_t>{};
  }),
            std::nullopt);
  Mix_ChannelFinished(CountFinishedSound);

  const std::vector<int> busy_after_each_play = {1, 2, 3, 4, 4};
  for (std::size_t i = 0; i < busy_after_each_play.size(); ++i) {
    table.PlaySoundEffect("STimer");
    EXPECT_EQ(Mix_Playing(-1), busy_after_each_play[i]) << "play " << i + 1;
  }
  table.PlaySoundEffect("SClick1");
  EXPECT_EQ(Mix_Playing(-1), 5);
  EXPECT_EQ(finished_sounds, 0) << "a play cut off a sound under way";

  Mix_ChannelFinished(nullptr);
  table.FreeSound();
}

TEST_F(SdlAudioBackendTest, FinishedChannelPlaysItsSoundAgain) {
  SdlAudioBackend backend;
  ASSERT_TRUE(backend.Open()) << backend.LastError();
  const std::vector<std::uint8_t> wav = MakeWav(300);
  const std::vector<ChannelHandle> channels = backend.CreateChannels(wav, 4);
  ASSERT_NE(channels.at(0), kNoChannel) << backend.LastError();
  const int mixer_channel = SdlAudioBackend::MixerChannel(channels[0]);

  backend.PlayChannel(channels[0]);
  ASSERT_NE(Mix_Playing(mixer_channel), 0);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (Mix_Playing(mixer_channel) != 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(Mix_Playing(mixer_channel), 0) << "the output never played the sound through";

  backend.PlayChannel(channels[0]);
  EXPECT_NE(Mix_Playing(mixer_channel), 0);
}

TEST_F(SdlAudioBackendTest, UndecodableBytesGiveSilentChannels) {
  std::vector<std::uint8_t> no_format = MakeWav(100);
  no_format.resize(12);
  std::vector<std::uint8_t> zero_channels = MakeWav(100);
  zero_channels[22] = 0;  // the format's channel count
  std::vector<std::uint8_t> truncated_format = MakeWav(100);
  truncated_format.resize(30);
  struct Case {
    std::string label;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"empty", {}},
      {"not a sound", {'h', 'e', 'l', 'l', 'o', ' ', 't', 'h', 'e', 'r', 'e'}},
      {"RIFF header only", no_format},
      {"format with no channels", zero_channels},
      {"format cut short", truncated_format},
  };

  SdlAudioBackend backend;
  ASSERT_TRUE(backend.Open()) << backend.LastError();
  for (const Case& c : cases) {
    const std::vector<ChannelHandle> channels = backend.CreateChannels(c.bytes, 4);
    EXPECT_EQ(channels, std::vector<ChannelHandle>(4, kNoChannel)) << c.label;
    EXPECT_FALSE(backend.LastError().empty()) << c.label;
    for (ChannelHandle channel : channels) backend.PlayChannel(channel);
    EXPECT_EQ(Mix_Playing(-1), 0) << c.label;
  }

  // A good sound after the bad ones still gets working channels.
  const std::vector<std::uint8_t> wav = MakeWav(kLongSoundMs);
  const std::vector<ChannelHandle> channels = backend.CreateChannels(wav, 4);
  ASSERT_NE(channels.at(0), kNoChannel) << backend.LastError();
  backend.PlayChannel(channels[0]);
  EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SdlAudioBackendTest, ImpossibleDriverFailsCleanlyWithTheOneMessage) {
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  int loads = 0;
  const SoundLoader loader = [&](std::string_view) {
    ++loads;
    return MakeWav(100);
  };
  {
    SoundTable table(std::make_unique<SdlAudioBackend>());
    EXPECT_EQ(table.InitSound(loader), std::optional<std::string>("Error initializing audio!"));
    EXPECT_EQ(table.InitSound(loader), std::nullopt);
    EXPECT_EQ(loads, 0);
    for (std::string_view name : kSoundNames) table.PlaySoundEffect(name);
    table.FreeSound();
  }

  SdlAudioBackend backend;
  EXPECT_FALSE(backend.Open());
  EXPECT_FALSE(backend.LastError().empty());
  const std::vector<std::uint8_t> wav = MakeWav(100);
  EXPECT_EQ(backend.CreateChannels(wav, 4), std::vector<ChannelHandle>(4, kNoChannel));
  backend.PlayChannel(1);
  backend.Close();
  backend.Close();

  // The failed attempts left SDL as they found it: a working driver opens afterwards.
  setenv("SDL_AUDIODRIVER", test_driver_.c_str(), 1);
  const std::vector<std::uint8_t> long_wav = MakeWav(kLongSoundMs);
  SdlAudioBackend working;
  ASSERT_TRUE(working.Open()) << working.LastError();
  const std::vector<ChannelHandle> channels = working.CreateChannels(long_wav, 4);
  ASSERT_NE(channels.at(0), kNoChannel) << working.LastError();
  working.PlayChannel(channels[0]);
  EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SdlAudioBackendTest, OpenOutputLeavesTerminationSignalsToTheProgram) {
  // A child opens the output and is sent SIGTERM: it must end by the signal,
  // as any program does, instead of having SDL swallow it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SdlAudioBackend backend;
    if (!backend.Open()) _exit(3);
    raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

}  // namespace
}  // namespace braxo
