// A dialog made from a numbered template, modeless or modal: the object is stored in the dialog's
// user slot at WM_INITDIALOG, and the dialog's messages fan out to small handlers a dialog class
// overrides. A dialog that is a window of its own shows its owner's icon.
#pragma once

#include <windows.h>

#include <vector>

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

    // The DPI the dialog is laid out for: the one it was created at until ApplyDpi.
    int Dpi() const { return dpi; }
    int CreationDpi() const { return creationDpi; }
    // A length the dialog had at its creation, at the DPI it is laid out for now.
    int FromCreation(int length) const { return ::MulDiv(length, dpi, creationDpi); }
    // Lays the dialog out for another DPI (the window moved to another monitor): its font and
    // every control's place and size, and the list views' column widths, scaled from what they
    // were at its creation; then OnDpiChanged and OnSize. The system's own rescaling of dialogs
    // is turned off for it, so that only this happens.
    void ApplyDpi(int newDpi);

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
    // After ApplyDpi has scaled the font and the controls, before OnSize: what else the dialog
    // measures in pixels (a grid's tracks) follows.
    virtual void OnDpiChanged() {}

    UINT templateId;
    HWND window = nullptr;
    bool modal = false; // inside RunModal

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // What ApplyDpi scales from: the controls as the dialog was created.
    void NoteCreation();

    struct Control
    {
        HWND window;
        RECT rect;                // in the dialog's client area
        std::vector<int> columns; // a list view's column widths
    };
    std::vector<Control> controls;
    LOGFONTW creationFont = {};
    HFONT font = nullptr; // the scaled font, owned; null while the template's is in use
    int creationDpi = 96;
    int dpi = 96;
};
