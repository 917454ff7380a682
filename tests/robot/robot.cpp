#include "robot.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace robot {

namespace {

constexpr DWORD kPollMs = 20;

// The static control that holds a message box's icon: id 0x14 on Windows,
// 0x440 in Wine.
constexpr int kBoxIconIds[] = {0x14, 0x440};
constexpr int kBoxTextId = 0xFFFF;

struct Search {
    DWORD pid;
    const char* className;
    const char* caption;
    int itemId;  // a control the window must have; 0 for any window
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->pid != 0 && owner != search->pid) {
        return TRUE;
    }
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->className != nullptr) {
        char cls[256];
        if (GetClassNameA(window, cls, sizeof cls) == 0 || lstrcmpA(cls, search->className) != 0) {
            return TRUE;
        }
    }
    if (search->caption != nullptr && WindowText(window) != search->caption) {
        return TRUE;
    }
    if (search->itemId != 0 && GetDlgItem(window, search->itemId) == nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

std::string WinPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/') {
        return unixPath;
    }
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

Child::Child(Child&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Child::~Child() {
    Kill();
}

Child Child::Start(const std::string& exe, const std::string& arguments,
                   const std::string& folder) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    return StartCommandLine(commandLine, folder);
}

Child Child::StartCommandLine(const std::string& commandLine, const std::string& folder) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Child child;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        child.process_ = info.hProcess;
        child.id_ = info.dwProcessId;
    }
    return child;
}

std::optional<DWORD> Child::WaitExit(DWORD timeoutMs) {
    if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool Child::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Child::Kill() {
    if (process_ == nullptr) {
        return;
    }
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    id_ = 0;
}

HWND FindTopWindow(DWORD pid, const char* className, const char* caption, int itemId) {
    Search search{pid, className, caption, itemId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs,
                   int itemId) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindTopWindow(pid, className, caption, itemId)) {
            return window;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT rather than GetWindowText: it reads controls of other
    // processes too.
    const auto length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<COLORREF> ScreenPixels(HWND window, RECT area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    POINT origin{area.left, area.top};
    if (width <= 0 || height <= 0 || !ClientToScreen(window, &origin)) {
        return {};
    }
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> pixels;
    if (bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(copy, bitmap);
        if (BitBlt(copy, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY)) {
            GdiFlush();
            const auto* bgr = static_cast<const BYTE*>(bits);
            for (int i = 0; i < width * height; ++i, bgr += 4) {
                pixels.push_back(RGB(bgr[2], bgr[1], bgr[0]));
            }
        }
        SelectObject(copy, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, const char* caption, DWORD timeoutMs) {
    HWND window = WaitForWindow(pid, "#32770", caption, timeoutMs);
    if (window == nullptr) {
        return std::nullopt;
    }
    MessageBoxSeen box;
    box.window = window;
    box.caption = caption;
    box.text = ItemText(window, kBoxTextId);
    // Which icon it is cannot be told from another process: icon handles
    // are the showing process's own.
    for (int id : kBoxIconIds) {
        if (HWND icon = GetDlgItem(window, id)) {
            box.iconShown = IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
        }
    }
    return box;
}

bool Answer(const MessageBoxSeen& box, int id) {
    Click(box.window, id);
    return WaitWindowGone(box.window);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        bytes.append(chunk, got);
    }
    std::fclose(in);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}

std::optional<std::string> WaitForFileWith(const std::string& path, const std::string& marker,
                                           DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::optional<std::string> bytes = ReadWholeFile(path);
        if ((bytes && bytes->find(marker) != std::string::npos) ||
            GetTickCount() - start >= timeoutMs) {
            return bytes;
        }
        Sleep(kPollMs);
    }
}

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string full = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
    // By characters: in a double-byte code page a second byte may be '\\'.
    const char* begin = path.c_str();
    for (const char* at = CharNextA(CharNextA(CharNextA(begin))); *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\') {
            CreateDirectoryA(path.substr(0, static_cast<std::size_t>(at - begin)).c_str(), nullptr);
        }
    }
    CreateDirectoryA(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool InAnsiCodePage(UINT codePage) {
    const char* asked = std::getenv("QL_ANSI_CODE_PAGE");
    if (asked != nullptr && std::strtoul(asked, nullptr, 10) != GetACP()) {
        std::fprintf(stderr,
                     "robot: this run asks for the ANSI code page %s but has %u: the "
                     "machine lacks its locale (scripts/bootstrap makes it)\n",
                     asked, GetACP());
        std::exit(1);
    }
    return GetACP() == codePage;
}

std::string FreshTempFolder(const std::string& name) {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp, length) + "ql-tests\\" + name;
    RemoveTree(folder);
    MakeFolders(folder);
    return folder;
}

}  // namespace robot
