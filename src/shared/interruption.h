// The user asked the program to end (Ctrl-C, a polite kill): a wait that
// would hold the program (a line that takes nothing, a queue of typed
// messages) gives up at once. A signal handler can reach nothing but a
// flag of the process, so this is one.
#pragma once

#include <csignal>

namespace bl::interruption {

inline volatile std::sig_atomic_t requested_flag = 0;
inline volatile std::sig_atomic_t signal_number = 0; // the signal that asked, if one did
// While nothing is recorded yet and a wait may not look at the flag in time
// (a start-up question read from the terminal): a signal ends the program
// on the spot.
inline volatile std::sig_atomic_t end_at_once = 0;

// Safe to call from a signal handler.
inline void request(int by_signal = 0) {
    requested_flag = 1;
    if (by_signal)
        signal_number = by_signal;
}
inline bool requested() { return requested_flag != 0; }
// The status of a program ended by a signal: 128 and the signal's number.
inline int status_of_signal() { return signal_number ? 128 + signal_number : 1; }

} // namespace bl::interruption
