#include "frame/runner.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/log.h"
#include "frame/win/redirector.h"

namespace dk {

ConsoleRedirector::~ConsoleRedirector() { Close(); }

int ConsoleRedirector::Open(const char* command_line) noexcept {
    Close();
    child_exited_ = false;
    exit_code_ = 0;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    win::unique_handle out_read, out_write, err_write, in_read, in_write;
    const HANDLE self = GetCurrentProcess();
    auto fail = [&]() noexcept {
        const DWORD error = GetLastError();
        char text[64];
        std::snprintf(text, sizeof text, "Redirect console error: %lx\r\n",
                      static_cast<unsigned long>(error));
        WriteError(text);
        Close();
        SetLastError(error);
        return 0;
    };
    if (!CreatePipe(out_read.put(), out_write.put(), &inherit, 0)) return fail();
    if (!DuplicateHandle(self, out_write.get(), self, err_write.put(), 0, TRUE, DUPLICATE_SAME_ACCESS))
        return fail();
    if (!CreatePipe(in_read.put(), in_write.put(), &inherit, 0)) return fail();
    if (!DuplicateHandle(self, out_read.get(), self, output_reader_.put(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        return fail();
    if (!DuplicateHandle(self, in_write.get(), self, input_writer_.put(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        return fail();
    out_read.reset();
    in_write.reset();
    if (!Launch(command_line, out_write.get(), in_read.get(), err_write.get())) return fail();
    // Only the child holds the write ends now, so the pipe breaks when it and its heirs end.
    out_write.reset();
    in_read.reset();
    err_write.reset();
    stop_event_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stop_event_) return fail();
    thread_.reset(CreateThread(nullptr, 0, &ReaderMain, this, 0, &thread_id_));
    if (!thread_) return fail();
    return 1;
}

int ConsoleRedirector::Launch(const char* command_line, HANDLE out, HANDLE in, HANDLE err) noexcept {
    std::string mutable_line(command_line);  // CreateProcessA may write into its command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, mutable_line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &info))
        return 0;
    child_.reset(info.hProcess);
    CloseHandle(info.hThread);
    return 1;
}

int ConsoleRedirector::ReadAvailable() noexcept {
    for (;;) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(output_reader_.get(), nullptr, 0, nullptr, &waiting, nullptr)) break;
        if (waiting == 0) return 1;
        char chunk[256];
        DWORD got = 0;
        const DWORD want = waiting < 255 ? waiting : 255;
        if (!ReadFile(output_reader_.get(), chunk, want, &got, nullptr) || got == 0) break;
        chunk[got] = '\0';
        WriteOutput(chunk);
    }
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA) return 0;
    WriteError("Read stdout pipe error\r\n");
    return -1;
}

// After the output closed or failed the child may still be running: its exit code is the
// result only once it has ended, so wait for it (or for the owner's stop).
void ConsoleRedirector::WaitForChild() noexcept {
    const HANDLE both[] = {child_.get(), stop_event_.get()};
    if (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (GetExitCodeProcess(child_.get(), &code)) exit_code_ = code;
        child_exited_ = true;
    }
}

DWORD ConsoleRedirector::Read() noexcept {
    if (ReadAvailable() <= 0) {
        WaitForChild();
        return 0;
    }
    const HANDLE both[] = {child_.get(), stop_event_.get()};
    for (;;) {
        const DWORD w = WaitForMultipleObjects(2, both, FALSE, poll_interval_);
        if (w == WAIT_OBJECT_0) {
            DWORD code = 0;
            if (GetExitCodeProcess(child_.get(), &code)) exit_code_ = code;
            ReadAvailable();
            child_exited_ = true;
            return 0;
        }
        if (w == WAIT_OBJECT_0 + 1) return 1;
        if (ReadAvailable() <= 0) {
            WaitForChild();
            return 0;
        }
    }
}

DWORD WINAPI ConsoleRedirector::ReaderMain(LPVOID self) noexcept {
    return static_cast<ConsoleRedirector*>(self)->Read();
}

bool ConsoleRedirector::WaitFinished(DWORD ms) noexcept {
    return thread_ && WaitForSingleObject(thread_.get(), ms) == WAIT_OBJECT_0;
}

void ConsoleRedirector::Close() noexcept {
    if (thread_) {
        if (GetCurrentThreadId() != thread_id_) {
            if (stop_event_) SetEvent(stop_event_.get());
            if (WaitForSingleObject(thread_.get(), 5000) != WAIT_OBJECT_0) {
                WriteError("The redir thread is dead\r\n");
                TerminateThread(thread_.get(), static_cast<DWORD>(-2));
            }
        }
        thread_.reset();
    }
    stop_event_.reset();
    child_.reset();
    input_writer_.reset();
    output_reader_.reset();
    thread_id_ = 0;
}

CaptureRedirector::CaptureRedirector(char* buffer, int capacity) noexcept
    : buffer_(buffer), capacity_(capacity) {
    buffer_[0] = '\0';
}

// Close here, while WriteOutput/WriteError still belong to this class.
CaptureRedirector::~CaptureRedirector() { Close(); }

void CaptureRedirector::WriteOutput(const char* text) noexcept {
    const int room = capacity_ - length_ - 1;
    if (room <= 0) return;
    const int n = static_cast<int>(strnlen(text, static_cast<std::size_t>(room)));
    std::memcpy(buffer_ + length_, text, static_cast<std::size_t>(n));
    length_ += n;
    buffer_[length_] = '\0';
}

void CaptureRedirector::WriteError(const char* text) noexcept {
    WriteOutput("\r\nError message: ");
    WriteOutput(text);
}

int RunAndCapture(const char* command, char* buffer, int capacity) noexcept {
    if (!command || !buffer || capacity <= 0) return kRunBadArgument;
    int result;
    {
        CaptureRedirector runner(buffer, capacity);
        TraceIis(command);
        if (!runner.Open(command)) {
            result = kRunCannotStart;
        } else if (runner.WaitFinished(kRunDeadlineMs) && runner.ChildExited()) {
            result = static_cast<int>(runner.ExitCode());
        } else {
            result = kRunTimedOut;
        }
        // The runner closes before the output is traced, so a stopped reader thread has added
        // all it will add.
        runner.Close();
    }
    TraceResult(result);
    if (buffer[0] != '\0') TraceIis(buffer);
    return result;
}

}  // namespace dk
