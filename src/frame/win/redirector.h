// A console command started hidden, its standard output and error piped into the runner.
#pragma once

#include <windows.h>

#include "frame/win/raii.h"

namespace dk {

class ConsoleRedirector {
public:
    ConsoleRedirector() noexcept = default;
    ConsoleRedirector(const ConsoleRedirector&) = delete;
    ConsoleRedirector& operator=(const ConsoleRedirector&) = delete;
    virtual ~ConsoleRedirector();

    // Starts the child and the reader thread; 1 on success, 0 (with the reason passed to
    // WriteError) on failure.
    int Open(const char* command_line) noexcept;
    // Stops the reader thread and closes every handle. Only the owner calls it, so each handle is
    // closed exactly once; the reader thread never closes anything.
    virtual void Close() noexcept;

    // Waits up to ms for the reader thread to end: true once it has (the child ended, or its
    // output closed or failed and then the child ended).
    bool WaitFinished(DWORD ms) noexcept;
    bool ChildExited() const noexcept { return child_exited_; }
    DWORD ExitCode() const noexcept { return exit_code_; }

    virtual void WriteOutput(const char*) noexcept {}
    virtual void WriteError(const char*) noexcept {}

protected:
    // 1 when the pipe is empty for now, 0 when it is closed, -1 on another read error.
    int ReadAvailable() noexcept;
    int Launch(const char* command_line, HANDLE out, HANDLE in, HANDLE err) noexcept;

private:
    static DWORD WINAPI ReaderMain(LPVOID self) noexcept;
    DWORD Read() noexcept;
    void WaitForChild() noexcept;

    win::unique_handle thread_;
    win::unique_handle stop_event_;
    DWORD thread_id_ = 0;
    DWORD poll_interval_ = 100;
    win::unique_handle input_writer_;
    win::unique_handle output_reader_;
    win::unique_handle child_;
    DWORD exit_code_ = 0;
    volatile bool child_exited_ = false;
};

// Appends everything the child prints, and the runner's own messages, to a caller's buffer.
class CaptureRedirector : public ConsoleRedirector {
public:
    CaptureRedirector(char* buffer, int capacity) noexcept;
    ~CaptureRedirector() override;
    void WriteOutput(const char* text) noexcept override;
    void WriteError(const char* text) noexcept override;

private:
    char* buffer_;
    int capacity_;
    int length_ = 0;
};

// About 10.1 seconds, the time a command may take before the runner gives up on it.
inline constexpr DWORD kRunDeadlineMs = 10100;

}  // namespace dk
