#include "compiler_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "map_names.h"
#include "pipeline.h"
#include "resource.h"
#include "runtime_bindings.h"
#include "win32_library_ops.h"
#include "win32_pipeline_ops.h"
#include "win_app.h"

namespace {

using levelsmith::kNameSize;

// The process-wide bindings and pipeline. Never destroyed: a worker may
// still be waiting in a message box or a library call while the process
// ends, and must not find its state gone.
struct ProcessState {
    levelsmith::Win32LibraryOps libraries;
    levelsmith::RuntimeBindings runtime;
    levelsmith::Win32PipelineOps windowOps;
    levelsmith::Pipeline pipeline{windowOps, runtime};
};

ProcessState& State() {
    static ProcessState* const state = new ProcessState;
    return *state;
}

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// A folder of up to MAX_PATH characters; empty when it cannot be read whole.
void ReadCurrentFolder(char* folder, DWORD size) {
    const DWORD length = GetCurrentDirectoryA(size, folder);
    if (length == 0 || length >= size) {
        folder[0] = '\0';
    }
}

}  // namespace

const MessageMapEntry<CCompilerDialog> CCompilerDialog::messageMap[] = {
    {WM_PAINT, 0, 0, &CCompilerDialog::OnPaint, nullptr},
    {WM_QUERYDRAGICON, 0, 0, nullptr, &CCompilerDialog::OnQueryDragIcon},
    {WM_COMMAND, BN_CLICKED, IDC_BROWSE, &CCompilerDialog::OnBrowse, nullptr},
    {WM_COMMAND, BN_CLICKED, IDC_COMPILE, &CCompilerDialog::OnCompile, nullptr},
    {WM_COMMAND, BN_CLICKED, IDC_VIEWMAP, &CCompilerDialog::OnViewMap, nullptr},
    {WM_DESTROY, 0, 0, &CCompilerDialog::OnDestroy, nullptr},
};

CCompilerDialog::CCompilerDialog(CWnd* parent) : CBCGDialog(IDD_COMPILER_DIALOG, parent) {
    m_hIcon = LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                        MAKEINTRESOURCEA(IDR_MAINFRAME));
}

bool CCompilerDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, messageMap, message, wParam, result) ||
           CBCGDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CCompilerDialog::OnInitDialog() {
    CBCGDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SendDlgItemMessage(IDC_SPLIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3"));
    SendDlgItemMessage(IDC_EPSILON, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0.1"));

    ProcessState& state = State();
    state.windowOps.AttachDialog(m_hWnd);
    levelsmith::OpenRuntime(state.libraries, state.runtime);
    const std::string missing = levelsmith::DescribeMissing(state.runtime);
    if (!missing.empty()) {
        MessageBoxA(nullptr, missing.c_str(), levelsmith::kMissingCaption, MB_OK | MB_ICONERROR);
    }

    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}

void CCompilerDialog::OnBrowse() {
    // The open-file dialog makes the folder the user navigates to the
    // current folder, and OFN_NOCHANGEDIR does not stop it there. The
    // runtime, the passes' output names and the viewer are all found from
    // the current folder, so it is put back afterwards, chosen or not.
    char currentFolder[MAX_PATH + 1] = "";
    ReadCurrentFolder(currentFolder, sizeof currentFolder);

    // The chosen name lands in a buffer of its own: cancelling keeps the
    // model chosen before, in the buffers and in both fields alike.
    char chosen[kNameSize] = {};
    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.lpstrFilter = "3D Models\0*.x\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = sizeof chosen;
    dialog.lpstrInitialDir = currentFolder[0] != '\0' ? currentFolder : nullptr;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    const BOOL chose = GetOpenFileNameA(&dialog);
    if (currentFolder[0] != '\0') {
        SetCurrentDirectoryA(currentFolder);
    }
    if (chose != TRUE) {
        return;
    }
    chosen[kNameSize - 1] = '\0';

    SendDlgItemMessage(IDC_INPUT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen));
    char outputName[kNameSize];
    levelsmith::DeriveOutputName(chosen, outputName, IsAnsiLeadByte);
    State().pipeline.SetModel(chosen, outputName);
    SendDlgItemMessage(IDC_OUTPUT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(outputName));
}

void CCompilerDialog::OnCompile() {
    levelsmith::StartCompile(State().pipeline);
}

void CCompilerDialog::OnViewMap() {
    char currentFolder[MAX_PATH + 1] = "";
    ReadCurrentFolder(currentFolder, sizeof currentFolder);
    if (currentFolder[0] == '\0') {
        return;
    }
    const levelsmith::ModelNames names = State().pipeline.Model();
    char commandLine[sizeof currentFolder + sizeof levelsmith::kViewerFolder + kNameSize];
    if (!levelsmith::BuildViewerCommandLine(currentFolder, names.outputName, commandLine,
                                            sizeof commandLine)) {
        return;
    }

    char title[] = "Levelsmith Viewer";
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.lpTitle = title;
    startup.dwX = 10;
    startup.dwY = 10;
    startup.dwXSize = 800;
    startup.dwYSize = 600;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (CreateProcessA("runtime/viewer.exe", commandLine, nullptr, nullptr, TRUE,
                       CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, currentFolder, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void CCompilerDialog::OnPaint() {
    if (!IsIconic()) {
        CBCGDialog::OnPaint();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

HCURSOR CCompilerDialog::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CCompilerDialog::OnDestroy() {
    CBCGDialog::OnDestroy();
    ProcessState& state = State();
    levelsmith::ShutdownPipelineAndRuntime(state.pipeline, state.libraries, state.runtime);
}
