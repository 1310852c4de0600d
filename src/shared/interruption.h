// The user asked the program to end (Ctrl-C, a polite kill): a wait that
// would hold the program (a line that takes nothing, a queue of typed
// messages) gives up at once. A signal handler can reach nothing but a
// flag of the process, so this is one.
#pragma once

#include <csignal>

namespace bl::interruption {

inline volatile std::sig_atomic_t requested_flag = 0;

// Safe to call from a signal handler.
inline void request() { requested_flag = 1; }
inline bool requested() { return requested_flag != 0; }

} // namespace bl::interruption
