#pragma once
// The catch boundary of every entry point from Qt (event handlers, slots, timer actions): no
// exception crosses into Qt's event loop. The quit request (EndException) becomes an application
// quit; any other error is shown with the unexpected-error dialog naming the place, and the
// player goes on. Once a quit has been requested, entry points return without doing anything.
#include <exception>
#include <functional>

namespace qm {

// Runs fn at a Qt entry point; place names the handler in the unexpected-error dialog.
void AtEventEdge(const char* place, const std::function<void()>& fn);

// As AtEventEdge, but other errors go to onError (for handlers whose errors end the game or the
// program). onError may throw EndException; anything else it throws is dropped.
void AtEventEdge(const std::function<void()>& fn,
                 const std::function<void(std::exception_ptr)>& onError);

}  // namespace qm
