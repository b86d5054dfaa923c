// The pacing wait between animation frames.
#include "forms/trace.h"
#include "window/form1.h"

void Form1::WaitMilliseconds(std::int32_t Milliseconds) {
  if (forms::tracing()) forms::traceLine("Form1 Wait " + std::to_string(Milliseconds));
  WaitStartTime = clock_.now();
  // WaitStartTime is shared: a wait nested in a click handled here restarts it, and this wait
  // then measures from the nested one's start, as the old runtime did.
  while (!halted() && forms::ClockDifference(clock_.now(), WaitStartTime) < Milliseconds) {
    clock_.pumpEvents(static_cast<std::int32_t>(static_cast<std::uint32_t>(WaitStartTime) +
                                                static_cast<std::uint32_t>(Milliseconds)));
  }
}
