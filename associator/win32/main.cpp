#include <windows.h>

#include "associator.h"
#include "win32_registry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    associator::Win32Registry registry;
    associator::Win32Messages messages;
    return associator::RunAssociator(registry, messages);
}
