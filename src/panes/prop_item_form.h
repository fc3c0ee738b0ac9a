// The form pane: name, address and method of a form, its fields and a select field's options.
#pragma once

#include "layout/grid_sizer.h"
#include "model/item_form.h"
#include "panes/prop_base.h"

class CdlgPropItemForm : public CdlgPropBase
{
public:
    explicit CdlgPropItemForm(CProjectChanges& changes);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnNotify(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;
    HWND FirstEdit() const override { return nameEdit; }
    // Selects the field of the site, and its option.
    void ShowRow(const CSite& site) override;
    CSite CurrentRow() const override;

    // Rewrite the cells of one row from its object; a row that does not exist is skipped.
    void RefreshFieldRow(int index);
    void RefreshOptionRow(int index);
    // Make a field (or none) current, fill its editors and its option list, and enable what
    // applies to it. Their edits' notifications write nothing back while they run.
    int LoadField(CItemForm::CField* field);
    int LoadOption(CItemForm::COption* option);

    CItemForm* node = nullptr;                   // not owned
    CItemForm::CField* currentField = nullptr;   // not owned
    CItemForm::COption* currentOption = nullptr; // an option of the current field; not owned
    bool fieldLoading = false;
    bool optionLoading = false;
    CGridSizer grid{5, 10};
    HWND nameEdit = nullptr;
    HWND urlEdit = nullptr;
    HWND methodCombo = nullptr;
    HWND fieldList = nullptr;
    HWND fieldNameEdit = nullptr;
    HWND fieldValueEdit = nullptr;
    HWND hiddenCheck = nullptr;
    HWND typeCombo = nullptr;
    HWND optionList = nullptr;
    HWND optionNameEdit = nullptr;
    HWND optionValueEdit = nullptr;

protected:
    // The grid's pixels follow the DPI.
    void OnDpiChanged() override { grid.Scale(Dpi(), CreationDpi()); }

private:
    void AddField();
    void RemoveField();
    void AddOption();
    void RemoveOption();
    // Empties and disables the field and option editors: nothing is current.
    void ResetEditors();
    void EnableOptionAdd();
    void FieldEdited();
    // A site of the bound form, of the current field and option.
    CSite Site(SitePart part) const;
    HWND Control(int id) const { return ::GetDlgItem(window, id); }
};
