// The six flight slots that carry the bursts of removed tiles, and the
// stepping of the bursts.
#pragma once

#include <array>

#include "game/Board.h"

namespace braxo {

inline constexpr int kFlightSlotCount = 6;
inline constexpr int kBurstFrames = 26;
inline constexpr int kBurstEmptiesCellAtStep = 10;

struct FlightSlot {
  bool active = false;
  int x = 0;  // top-left corner of the burst picture, board-image pixels
  int y = 0;
  int step = 1;  // the frame to draw next, 1..26
  BoardCell cell;
};

// What a step of the bursts draws. The window implements it; tests record it.
class BurstPainter {
 public:
  virtual ~BurstPainter() = default;
  virtual void RenderBoard() = 0;
  // Draws burst frame `frame` (1..26) with its top-left corner at (x, y) of
  // the board image, over what is there.
  virtual void DrawBurst(int frame, int x, int y) = 0;
};

class Flights {
 public:
  // Starts a burst for the tile of `cell` in the first idle slot from the
  // next-slot index on, and moves the index past it (6 wraps to 1). When all
  // six are busy the slot at the index is cut short; its tile, if still on
  // the board, is taken off at once so that no removed pair stays behind.
  void Enter(int x, int y, const BoardCell& cell, Board& board);
  // All slots idle and the next-slot index back to 1.
  void Reset();

  bool AnyActive() const;
  // True when an active slot carries the tile of `cell`: that tile's pair is
  // taken and the tile must not be selected or taken again.
  bool IsInFlight(const BoardCell& cell) const;

  // One step of every active burst: repaints the board, and for each active
  // slot draws its frame, emptying its cell first on step 10; a slot becomes
  // idle after frame 26, and the board is repainted once more when the last
  // burst ends. Returns false, and does nothing, while no slot is active.
  bool Step(Board& board, BurstPainter& painter);

  const std::array<FlightSlot, kFlightSlotCount>& Slots() const { return slots_; }
  int NextSlot() const { return next_slot_; }

 private:
  std::array<FlightSlot, kFlightSlotCount> slots_{};
  int next_slot_ = 1;
};

}  // namespace braxo
