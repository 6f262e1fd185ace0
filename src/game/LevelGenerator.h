// Deals a level: each level has a fixed shape and a fixed multiset of tile
// codes, dealt onto the shape in a random order.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "game/Board.h"

namespace braxo {

inline constexpr int kLevelCount = 5;

// Where the deal's random numbers come from. The game uses ClockRandom;
// tests and benchmarks inject a fixed sequence.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Called once at the start of every deal.
  virtual void Reseed() = 0;
  // A uniform integer in [low, high]. @pre low <= high
  virtual int Uniform(int low, int high) = 0;
};

// Reseeds a Mersenne twister from the clock at every deal, so every level of
// every game is dealt from a fresh start.
class ClockRandom : public RandomSource {
 public:
  void Reseed() override;
  int Uniform(int low, int high) override;

 private:
  std::mt19937 engine_;
  std::uint64_t deals_ = 0;  // told apart two deals within one clock tick
};

// A deterministic source for tests and benchmarks: the engine restarts from
// `start` (plus the number of deals so far) at every Reseed.
class FixedRandom : public RandomSource {
 public:
  explicit FixedRandom(std::uint32_t start) : start_(start) {}
  void Reseed() override { engine_ = std::mt19937(start_ + deals_++); }
  int Uniform(int low, int high) override;

 private:
  std::uint32_t start_;
  std::uint32_t deals_ = 0;
  std::mt19937 engine_;
};

// The number of tiles of a level (32, 44, 56, 68, 80). @pre 1 <= level <= 5
int LevelTileCount(int level);

// The level's kinds in table order; each comes four times, the rest is "o0".
const std::vector<std::string>& LevelKinds(int level);

// The code a drawn number (1..N) gives through the level's code table.
const std::string& LevelCode(int level, int number);

// The cell that placement-list position p (1..N) goes to.
BoardCell LevelPosition(int level, int position);

// Fills the empty board for `level` with a uniformly random arrangement of the
// level's codes over its shape. @pre the board is empty, 1 <= level <= 5
void GenerateLevel(int level, Board& board, RandomSource& random);

}  // namespace braxo
