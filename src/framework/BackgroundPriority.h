#pragma once

// Puts the calling thread, and the threads it starts from now on, at the
// scheduler's idle priority: work the window may wait for (the backplot, the
// checks after a function) takes only what the window's own thread leaves of
// the processors, so a busy worker never makes the window stop answering.
void runAtBackgroundPriority();
