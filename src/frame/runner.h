// Runs one console command hidden, with its output captured.
#pragma once

namespace dk {

inline constexpr int kRunBadArgument = -100;
inline constexpr int kRunCannotStart = -2700;
inline constexpr int kRunTimedOut = -2701;

// The child's exit code, or kRunBadArgument (null command or buffer, capacity < 1),
// kRunCannotStart, kRunTimedOut (about 10.1 s). buffer receives at most capacity - 1 characters
// of the child's standard output and error. Traces the command, the result and the output.
int RunAndCapture(const char* command, char* buffer, int capacity) noexcept;

}  // namespace dk
