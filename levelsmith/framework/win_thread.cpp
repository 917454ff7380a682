#include "win_thread.h"

#include <process.h>

namespace {

struct ThreadStart {
    AFX_THREADPROC proc;
    LPVOID param;
};

unsigned __stdcall RunThread(void* start) {
    const ThreadStart thread = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    return thread.proc(thread.param);
}

}  // namespace

bool AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                    DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    if (proc == nullptr) {
        return false;
    }
    auto* start = new ThreadStart{proc, param};
    // Created suspended so that the priority is in place before it runs.
    const uintptr_t handle = _beginthreadex(security, stackSize, RunThread, start,
                                            createFlags | CREATE_SUSPENDED, nullptr);
    if (handle == 0) {
        delete start;
        return false;
    }
    const auto thread = reinterpret_cast<HANDLE>(handle);
    if (priority != THREAD_PRIORITY_NORMAL) {
        SetThreadPriority(thread, priority);
    }
    if ((createFlags & CREATE_SUSPENDED) == 0) {
        ResumeThread(thread);
    }
    CloseHandle(thread);
    return true;
}
