#pragma once

// A plain message map: a class lists which window messages and button
// commands go to which of its handlers, and hands everything it does not
// list to its base class.
#include <windows.h>

#include <cstddef>

template <typename Target>
struct MessageMapEntry {
    UINT message;
    // For WM_COMMAND: the notification code (BN_CLICKED is 0) and the control
    // id; both 0 for other messages.
    UINT code;
    UINT id;
    // A handler with no result, or one that returns an icon or cursor handle
    // as the message's result (WM_QUERYDRAGICON).
    void (Target::*handler)();
    HCURSOR (Target::*handleReturningCursor)();
};

// Runs the handler that `map` lists for this message; false when none does.
template <typename Target, std::size_t N>
bool DispatchMessageMap(Target& target, const MessageMapEntry<Target> (&map)[N], UINT message,
                        WPARAM wParam, LRESULT& result) {
    for (const MessageMapEntry<Target>& entry : map) {
        if (entry.message != message) {
            continue;
        }
        if (message == WM_COMMAND && (HIWORD(wParam) != entry.code || LOWORD(wParam) != entry.id)) {
            continue;
        }
        if (entry.handleReturningCursor != nullptr) {
            result = reinterpret_cast<LRESULT>((target.*entry.handleReturningCursor)());
        } else {
            (target.*entry.handler)();
            result = 0;
        }
        return true;
    }
    return false;
}
