// A run of the program with the scripted front end.
#pragma once

#include "frame/options.h"
#include "frame/frame.h"

namespace kvor::app {

// Plays the options' ACTIONS file; returns the program's exit code. A file that cannot be read or
// holds a wrong action stops the run before anything else happens, with exit code 2.
int RunHeadless(const frame::Options& options, const frame::StartInfo& start);

}  // namespace kvor::app
