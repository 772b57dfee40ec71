#pragma once
// The quit request of the whole player. EndException carries it through our own code; the
// outermost edge of a Qt event turns it into RequestQuit, which leaves every running event loop
// (nested dialog and yield loops included). Code that regains control after a nested loop asks
// QuitRequested (or calls ThrowIfQuitting) so that nothing else runs on the way out.
namespace qm {

// Records the exit status (the first request wins) and makes every running event loop return.
void RequestQuit(int status);
bool QuitRequested();
// The status of the first request; 0 when none was made.
int QuitStatus();
// Throws EndException with the recorded status when a quit has been requested.
void ThrowIfQuitting();
// Forgets the request (tests run many games in one process).
void ResetQuitRequest();

}  // namespace qm
