// Threads and waitable handles, as far as the game uses them.
#pragma once

#include "wince/windows.h"

struct CeThread;
typedef CeThread* HANDLE_THREAD;
typedef DWORD (*LPTHREAD_START_ROUTINE)(void* parameter);

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Starts `start(parameter)` on a new thread. Security and stack size are
// accepted and ignored; creation flags must be 0.
HANDLE_THREAD CreateThread(void* security, DWORD stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                           DWORD flags, DWORD* threadId);
DWORD WaitForSingleObject(HANDLE_THREAD thread, DWORD milliseconds);
BOOL GetExitCodeThread(HANDLE_THREAD thread, DWORD* code);
// Releases the handle; the thread itself runs on (detached) if still running.
BOOL CloseThreadHandle(HANDLE_THREAD thread);
