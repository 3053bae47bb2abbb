#pragma once
// Long work that a handler waits for: it runs on a worker thread while the windows keep painting
// and take no input. Clicks, keys and close requests that arrive meanwhile are dropped, not
// queued; the mouse pointer shows the busy cursor.

#include <functional>

namespace forms {

// Runs the job to its end and rethrows whatever it threw, on the calling thread.
void runWithoutInput(const std::function<void()> &job);

} // namespace forms
