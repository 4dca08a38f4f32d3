// Stand-in for MDaemon's user-API library. It answers the two calls the rules installer makes
// with the paths a test puts into its environment: MDUSER<type>_DBPATH for the content-filter
// rules file and MDUSER<type>_APPDIR for the application folder, where <type> is the word this
// build was made under (empty for MDUser.dll). Unset variables answer an empty text.
#include <windows.h>

#ifndef MDUSER_TYPE
#define MDUSER_TYPE ""
#endif

namespace {

void Answer(const char* what, char* buffer, DWORD size) {
    char name[64];
    lstrcpyA(name, "MDUSER" MDUSER_TYPE "_");
    lstrcatA(name, what);
    buffer[0] = '\0';
    const DWORD n = GetEnvironmentVariableA(name, buffer, size);
    if (n >= size) buffer[0] = '\0';
}

}  // namespace

// No size is passed with this call; the callers hand in MAX_PATH + 4 bytes.
extern "C" void __stdcall MD_GetDBPath(char* buffer, int code) {
    if (code == 76)
        Answer("DBPATH", buffer, MAX_PATH + 4);
    else
        buffer[0] = '\0';
}

extern "C" void __stdcall MD_GetAppDir(char* buffer, int size) {
    Answer("APPDIR", buffer, static_cast<DWORD>(size));
}
