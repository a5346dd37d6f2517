#include "app/Console.h"

#include <cstdio>

#include <qt_windows.h>

namespace Console {

namespace {

bool hasStream(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void reopen(const char* device, const char* mode, std::FILE* stream)
{
    // The C library's streams were set up at start, when there was no console; they follow it only when
    // reopened on it. Should that fail, the stream writes nowhere, as it did before.
    std::freopen(device, mode, stream);
}

} // namespace

void attachToParent()
{
    const bool out = hasStream(STD_OUTPUT_HANDLE);
    const bool error = hasStream(STD_ERROR_HANDLE);
    const bool in = hasStream(STD_INPUT_HANDLE);
    if ((out && error && in) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!out)
        reopen("CONOUT$", "w", stdout);
    if (!error)
        reopen("CONOUT$", "w", stderr);
    if (!in)
        reopen("CONIN$", "r", stdin);
}

} // namespace Console
