#include "editor/tree_editor.h"

#include "app/startup.h"
#include "model/project.h"
#include "resources/resource.h"

namespace {

const wchar_t kClassName[] = L"CfrmTreeEditor";

} // namespace

CfrmTreeEditor::CfrmTreeEditor(CProject& project)
    : projectPane(*this), columnPane(*this), groupPane(*this), linkPane(*this), formPane(*this),
      project(&project)
{
}

CfrmTreeEditor::~CfrmTreeEditor() = default;

bool CfrmTreeEditor::Create()
{
    HINSTANCE instance = ModuleInstance();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLOMERE),
                                                        IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                        ::GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLOMERE), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.lpszClassName = kClassName;
    // A class left over from an earlier window of this process (tests create several) is fine.
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    mainWindow =
        ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Quillomere", WS_OVERLAPPEDWINDOW,
                          CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return false;
    ::SetWindowLongPtrW(mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (CdlgPropBase* pane :
         {static_cast<CdlgPropBase*>(&projectPane), static_cast<CdlgPropBase*>(&columnPane),
          static_cast<CdlgPropBase*>(&groupPane), static_cast<CdlgPropBase*>(&linkPane),
          static_cast<CdlgPropBase*>(&formPane)}) {
        if (!pane->Create(mainWindow)) return false;
    }
    return true;
}

void CfrmTreeEditor::NodeEdited(std::int32_t, CStreamable*)
{
    project->modified = true;
}

LRESULT CALLBACK CfrmTreeEditor::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CfrmTreeEditor*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind into the system's message dispatch.
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CfrmTreeEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    default:
        return ::DefWindowProcW(mainWindow, message, wParam, lParam);
    }
}

void CfrmTreeEditor::Close()
{
    ::PostQuitMessage(0);
    ::DestroyWindow(mainWindow);
}
