// A dialog made from a numbered template, modeless or modal: the object is stored in the dialog's
// user slot at WM_INITDIALOG, and the dialog's messages fan out to small handlers a dialog class
// overrides. A dialog that is a window of its own shows its owner's icon.
#pragma once

#include <windows.h>

class CDialogBase
{
public:
    explicit CDialogBase(UINT templateId);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    virtual int OnInitDialog();
    virtual int OnSize();
    virtual int OnCommand(WPARAM wParam, LPARAM lParam);
    virtual int OnNotify(WPARAM wParam, LPARAM lParam);
    // Any other message; true when it was handled, with the dialog procedure's result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    // Creates the dialog as a modeless child of `parent` (or owned by it, as the template says);
    // true when a window was created.
    bool Create(HWND parent);
    // Shows the dialog owned by `owner` until EndDialog ends it; returns what EndDialog was
    // given, or -1 when the dialog could not be shown.
    INT_PTR RunModal(HWND owner);
    HWND Window() const { return window; }
    UINT TemplateId() const { return templateId; }

    // Sets a flag for the lifetime of the scope and restores its previous value on every exit
    // path, exceptions included.
    class CFlagScope
    {
    public:
        explicit CFlagScope(bool& flag) : flag(flag), previous(flag) { flag = true; }
        ~CFlagScope() { flag = previous; }
        CFlagScope(const CFlagScope&) = delete;
        CFlagScope& operator=(const CFlagScope&) = delete;

    private:
        bool& flag;
        bool previous;
    };

protected:
    UINT templateId;
    HWND window = nullptr;
    bool modal = false; // inside RunModal

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
