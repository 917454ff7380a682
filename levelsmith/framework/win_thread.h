#pragma once

// Worker threads of the class framework.
#include <windows.h>

using AFX_THREADPROC = UINT (*)(LPVOID param);

// Starts `proc(param)` on a new thread that nobody joins. The handle is not
// kept: the thread ends when `proc` returns. False when no thread started.
bool AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                    UINT stackSize = 0, DWORD createFlags = 0,
                    LPSECURITY_ATTRIBUTES security = nullptr);
