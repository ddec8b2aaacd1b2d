#pragma once
// What runs in a forked child before the program starts: the program's own set-up and exec,
// and the keeper of a contained run. Both run in a fork of a program with threads, so they make
// only async-signal-safe calls.

#include "ExLib/run/process/ExSpawn.h"

// Sets up the child as the request says and execs `file`; on failure writes errno to `report`
// and ends with 127. With `stdioInPlace` the standard descriptors are already where they go.
[[noreturn]] void RunChild(const TSpawnRequest& request, const char* file, char* const* argv, char* const* envp,
                           int report, bool stdioInPlace);

// Becomes the keeper of a contained run: a child subreaper that starts the program below it,
// so that everything the program starts stays its descendant whatever it does to its process
// group or session. When the program ends, when the keeper is asked to (SIGTERM, SIGHUP,
// SIGINT) or when `parent` (the whole process) ends, it kills and collects every process below
// it, then ends with the program's own status.
[[noreturn]] void RunKeeper(const TSpawnRequest& request, const char* file, char* const* argv, char* const* envp,
                            int report, pid_t parent);
