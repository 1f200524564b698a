#pragma once
// Results a command is done with, left for the end of the process instead of being freed one block at a time.
// A loaded drawing holds a block of points per figure, hundreds of thousands of them in a large one; the system
// takes back the whole memory at once when the process ends, so freeing them first only makes the process slower.

#include <cstddef>
#include <memory>

namespace varnholt::cli {

// Turns the keeping on (the program's main, which ends the process after one command) or off (the default:
// commands run in a longer-lived process, such as the tests, free their results at once).
void SetKeepUntilExit(bool keep);

// Frees the object now, or leaves it in place until the process ends when keeping is on. Kept objects stay
// reachable, so a leak checker does not count them.
void DisposeOrKeep(std::shared_ptr<void> object);

// How many objects are kept so far.
size_t KeptCount();

}  // namespace varnholt::cli
