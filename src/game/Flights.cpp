#include "game/Flights.h"

namespace braxo {

void Flights::Enter(int x, int y, const BoardCell& cell, Board& board) {
  int index = next_slot_;
  for (int tried = 0; tried < kFlightSlotCount; ++tried) {
    if (!slots_[index - 1].active) break;
    index = index % kFlightSlotCount + 1;
  }
  FlightSlot& slot = slots_[index - 1];
  if (slot.active && slot.step <= kBurstEmptiesCellAtStep) board.SetCode(slot.cell, "");
  slot = FlightSlot{true, x, y, 1, cell};
  next_slot_ = index % kFlightSlotCount + 1;
}

void Flights::Reset() {
  for (FlightSlot& slot : slots_) slot.active = false;
  next_slot_ = 1;
}

bool Flights::AnyActive() const {
  for (const FlightSlot& slot : slots_)
    if (slot.active) return true;
  return false;
}

bool Flights::IsInFlight(const BoardCell& cell) const {
  for (const FlightSlot& slot : slots_)
    if (slot.active && slot.cell == cell) return true;
  return false;
}

bool Flights::Step(Board& board, BurstPainter& painter) {
  if (!AnyActive()) return false;
  painter.RenderBoard();
  for (FlightSlot& slot : slots_) {
    if (!slot.active) continue;
    if (slot.step == kBurstEmptiesCellAtStep) {
      // The tile vanishes under its burst from this frame on.
      board.SetCode(slot.cell, "");
      painter.RenderBoard();
    }
    painter.DrawBurst(slot.step, slot.x, slot.y);
    if (++slot.step > kBurstFrames) slot.active = false;
  }
  if (!AnyActive()) painter.RenderBoard();
  return true;
}

}  // namespace braxo
