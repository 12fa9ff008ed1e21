#pragma once
// Pages and the control channel call this after a change that a mail or a
// report depends on, so that it goes out now rather than at the next pass.

// Wakes the running maintenance thread for a pass now; nothing when none runs.
void KXWakeMaintenance();
