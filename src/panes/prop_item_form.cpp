#include "panes/prop_item_form.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "resources/resource.h"
#include "winui/controls.h"
#include "winui/list_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

const std::int32_t kInput = 0;
const std::int32_t kSelect = 1;

std::wstring TypeText(std::int32_t type)
{
    if (type == kInput) return L"Input";
    if (type == kSelect) return L"Select";
    return std::to_wstring(type); // only a loaded file can hold another type
}

} // namespace

CdlgPropItemForm::CdlgPropItemForm(CProjectChanges& changes)
    : CdlgPropBase(IDD_PROP_ITEMFORM, changes)
{
}

int CdlgPropItemForm::OnInitDialog()
{
    nameEdit = Control(IDC_FORM_NAME);
    urlEdit = Control(IDC_FORM_URL);
    methodCombo = Control(IDC_FORM_METHOD);
    fieldList = Control(IDC_FORM_FIELDS);
    fieldNameEdit = Control(IDC_FIELD_NAME);
    fieldValueEdit = Control(IDC_FIELD_VALUE);
    hiddenCheck = Control(IDC_FIELD_HIDDEN);
    typeCombo = Control(IDC_FIELD_TYPE);
    optionList = Control(IDC_FORM_OPTIONS);
    optionNameEdit = Control(IDC_OPTION_NAME);
    optionValueEdit = Control(IDC_OPTION_VALUE);

    int h = std::max(winui::WindowHeight(nameEdit), winui::WindowHeight(Control(IDC_FIELD_ADD)));
    for (int row : {0, 1, 2, 3, 5, 6, 7, 9})
        grid.SetRow(row, h, h, 0);
    // Minima that keep every control whole (the window is never made smaller than the grid's
    // minimum); alike for all columns and for both lists, so that they still share alike.
    for (int row : {4, 8})
        grid.SetRow(row, 70, -1, 1);
    const int w = winui::WindowWidth(Control(IDC_FIELD_REMOVE)) + 2;
    for (int column = 0; column < 5; ++column)
        grid.SetColumn(column, w, -1, 1);

    auto optional = [this](int id, int row, int firstColumn, int lastColumn, int inset) {
        winui::AddIfPresent(grid, window, id, row, firstColumn, lastColumn, inset);
    };
    optional(IDC_FORM_NAME_LABEL, 0, 0, 0, 3);
    optional(IDC_FORM_URL_LABEL, 1, 0, 0, 3);
    optional(IDC_FORM_METHOD_LABEL, 2, 0, 0, 3);
    optional(IDC_FORM_FIELDS_LABEL, 3, 0, 4, 3);
    optional(IDC_FIELD_ADD, 5, 3, 3, 1);
    optional(IDC_FIELD_REMOVE, 5, 4, 4, 1);
    optional(IDC_FORM_OPTIONS_LABEL, 7, 0, 4, 3);
    optional(IDC_OPTION_ADD, 9, 3, 3, 1);
    optional(IDC_OPTION_REMOVE, 9, 4, 4, 1);
    grid.AddWindow(nameEdit, 0, 1, 0, 4, 0);
    grid.AddWindow(urlEdit, 1, 1, 1, 4, 0);
    grid.AddCombo(methodCombo, 2, 2, 4);
    grid.AddWindow(fieldList, 4, 1, 4, 4, 0);
    grid.AddWindow(fieldNameEdit, 5, 1, 5, 1, 0);
    grid.AddWindow(fieldValueEdit, 5, 2, 5, 2, 0);
    grid.AddCombo(typeCombo, 6, 6, 2);
    grid.AddWindow(hiddenCheck, 6, 3, 6, 4, 0);
    grid.AddWindow(optionList, 8, 1, 8, 4, 0);
    grid.AddWindow(optionNameEdit, 9, 1, 9, 1, 0);
    grid.AddWindow(optionValueEdit, 9, 2, 9, 2, 0);

    winui::AddComboEntry(methodCombo, L"GET", 0);
    winui::AddComboEntry(methodCombo, L"POST", 1);
    winui::AddComboEntry(typeCombo, L"Input", kInput);
    winui::AddComboEntry(typeCombo, L"Select", kSelect);
    listrows::AddColumn(fieldList, 0, L"Name", 150);
    listrows::AddColumn(fieldList, 1, L"Value", 150);
    listrows::AddColumn(fieldList, 2, L"Type", 100);
    listrows::AddColumn(fieldList, 3, L"Hidden", 100);
    listrows::AddColumn(optionList, 0, L"Name", 150);
    listrows::AddColumn(optionList, 1, L"Value", 150);
    ListView_SetExtendedListViewStyleEx(fieldList, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ListView_SetExtendedListViewStyleEx(optionList, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ResetEditors();
    return 1;
}

int CdlgPropItemForm::OnSize()
{
    return winui::LayOutGrid(window, grid);
}

void CdlgPropItemForm::SetNode(CStreamable* bound)
{
    CFlagScope scope(updating);
    node = static_cast<CItemForm*>(bound);
    currentField = nullptr;
    currentOption = nullptr;
    ::SetWindowTextW(nameEdit, node ? node->name.c_str() : L"");
    ::SetWindowTextW(urlEdit, node ? node->action.c_str() : L"");
    ::SendMessageW(methodCombo, CB_SETCURSEL, node && node->method != 0 ? 1 : 0, 0);
    {
        winui::CRedrawOff quiet(fieldList);
        ::SendMessageW(fieldList, LVM_DELETEALLITEMS, 0, 0);
        if (node) {
            for (CItemForm::CField* field : node->fields)
                RefreshFieldRow(listrows::Append(fieldList, field));
        }
    }
    ResetEditors();
}

void CdlgPropItemForm::ResetEditors()
{
    {
        CFlagScope fields(fieldLoading);
        CFlagScope options(optionLoading);
        ::SendMessageW(optionList, LVM_DELETEALLITEMS, 0, 0);
        ::SetWindowTextW(fieldNameEdit, L"");
        ::SetWindowTextW(fieldValueEdit, L"");
        ::SendMessageW(typeCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SendMessageW(hiddenCheck, BM_SETCHECK, BST_UNCHECKED, 0);
        ::SetWindowTextW(optionNameEdit, L"");
        ::SetWindowTextW(optionValueEdit, L"");
    }
    for (HWND control : {fieldNameEdit, fieldValueEdit, typeCombo, hiddenCheck, optionList,
                         Control(IDC_FIELD_REMOVE), optionNameEdit, optionValueEdit,
                         Control(IDC_OPTION_ADD), Control(IDC_OPTION_REMOVE)})
        winui::Enable(control, false, fieldList);
}

void CdlgPropItemForm::RefreshFieldRow(int index)
{
    auto* field = static_cast<CItemForm::CField*>(listrows::Object(fieldList, index));
    if (!field) return;
    listrows::SetCell(fieldList, index, 0, field->name);
    listrows::SetCell(fieldList, index, 1, field->value);
    listrows::SetCell(fieldList, index, 2, TypeText(field->type));
    listrows::SetCell(fieldList, index, 3, field->hidden ? L"Hidden" : L"");
}

void CdlgPropItemForm::RefreshOptionRow(int index)
{
    auto* option = static_cast<CItemForm::COption*>(listrows::Object(optionList, index));
    if (!option) return;
    listrows::SetCell(optionList, index, 0, option->text);
    listrows::SetCell(optionList, index, 1, option->value);
}

int CdlgPropItemForm::LoadField(CItemForm::CField* field)
{
    if (!field) {
        currentField = nullptr;
        currentOption = nullptr;
        ResetEditors();
        return 1;
    }
    {
        CFlagScope loading(fieldLoading);
        currentField = field;
        currentOption = nullptr;
        ::SetWindowTextW(fieldNameEdit, field->name.c_str());
        ::SetWindowTextW(fieldValueEdit, field->value.c_str());
        ::SendMessageW(hiddenCheck, BM_SETCHECK, field->hidden ? BST_CHECKED : BST_UNCHECKED, 0);
        winui::SelectByData(typeCombo, field->type);
        winui::CRedrawOff quiet(optionList);
        ::SendMessageW(optionList, LVM_DELETEALLITEMS, 0, 0);
        for (CItemForm::COption* option : field->options)
            RefreshOptionRow(listrows::Append(optionList, option));
    }
    {
        // The option shown before belongs to another field, or to none.
        CFlagScope loading(optionLoading);
        ::SetWindowTextW(optionNameEdit, L"");
        ::SetWindowTextW(optionValueEdit, L"");
    }
    for (HWND control : {fieldNameEdit, fieldValueEdit, typeCombo, hiddenCheck, optionList,
                         Control(IDC_FIELD_REMOVE), optionNameEdit, optionValueEdit})
        winui::Enable(control, true, fieldList);
    EnableOptionAdd();
    winui::Enable(Control(IDC_OPTION_REMOVE), false, optionList);
    return 1;
}

int CdlgPropItemForm::LoadOption(CItemForm::COption* option)
{
    {
        CFlagScope loading(optionLoading);
        currentOption = option;
        // Empty with no option current, like the disabled edits of the field part.
        ::SetWindowTextW(optionNameEdit, option ? option->text.c_str() : L"");
        ::SetWindowTextW(optionValueEdit, option ? option->value.c_str() : L"");
    }
    for (HWND control : {optionNameEdit, optionValueEdit, Control(IDC_OPTION_REMOVE)})
        winui::Enable(control, option != nullptr, optionList);
    return 1;
}

void CdlgPropItemForm::EnableOptionAdd()
{
    winui::Enable(Control(IDC_OPTION_ADD), currentField && currentField->type == kSelect,
                  optionList);
}

int CdlgPropItemForm::OnCommand(WPARAM wParam, LPARAM)
{
    if (updating) return 1;
    if (!node) return 0;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    std::int32_t number = 0;
    switch (id) {
    case IDC_FORM_NAME:
        if (code != EN_CHANGE) return 0;
        changes->SetText(Site(SitePart::FormName), winui::ReadWindowText(nameEdit));
        return 1;
    case IDC_FORM_URL:
        if (code != EN_CHANGE) return 0;
        changes->SetText(Site(SitePart::FormAction), winui::ReadWindowText(urlEdit));
        return 1;
    case IDC_FORM_METHOD:
        if (code != CBN_SELCHANGE || !winui::SelectedData(methodCombo, number)) return 0;
        changes->SetNumber(Site(SitePart::Method), number);
        return 1;
    case IDC_FIELD_NAME:
    case IDC_FIELD_VALUE:
        if (code != EN_CHANGE) return 0;
        if (fieldLoading) return 1;
        if (!currentField) return 0;
        if (id == IDC_FIELD_NAME) {
            changes->SetText(Site(SitePart::FieldName), winui::ReadWindowText(fieldNameEdit));
        } else {
            changes->SetText(Site(SitePart::FieldValue), winui::ReadWindowText(fieldValueEdit));
        }
        FieldEdited();
        return 1;
    case IDC_FIELD_TYPE:
        if (code != CBN_SELCHANGE || !currentField || !winui::SelectedData(typeCombo, number))
            return 0;
        changes->SetNumber(Site(SitePart::FieldType), number);
        // Only the option "Add" depends on the type; the editors stay as they are.
        EnableOptionAdd();
        FieldEdited();
        return 1;
    case IDC_FIELD_HIDDEN:
        if (code != BN_CLICKED || !currentField) return 0;
        changes->SetNumber(Site(SitePart::FieldHidden),
                           ::SendMessageW(hiddenCheck, BM_GETCHECK, 0, 0) ==
                                   static_cast<LRESULT>(BST_CHECKED)
                               ? 1
                               : 0);
        FieldEdited();
        return 1;
    case IDC_OPTION_NAME:
    case IDC_OPTION_VALUE:
        if (code != EN_CHANGE) return 0;
        if (optionLoading) return 1;
        if (!currentOption) return 0;
        if (id == IDC_OPTION_NAME) {
            changes->SetText(Site(SitePart::OptionText), winui::ReadWindowText(optionNameEdit));
        } else {
            changes->SetText(Site(SitePart::OptionValue), winui::ReadWindowText(optionValueEdit));
        }
        RefreshOptionRow(listrows::RowOf(optionList, currentOption));
        return 1;
    case IDC_FIELD_ADD:
        AddField();
        return 1;
    case IDC_FIELD_REMOVE:
        RemoveField();
        return 1;
    case IDC_OPTION_ADD:
        AddOption();
        return 1;
    case IDC_OPTION_REMOVE:
        RemoveOption();
        return 1;
    default:
        return 0;
    }
}

void CdlgPropItemForm::FieldEdited()
{
    // The row that shows the field, also when the selection was cleared beside the rows.
    RefreshFieldRow(listrows::RowOf(fieldList, currentField));
}

int CdlgPropItemForm::OnNotify(WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_DELETEALLITEMS) return winui::NoDeleteItemNotifications(window);
    if (header->code != LVN_ITEMCHANGED) return 0;
    if (header->idFrom != IDC_FORM_FIELDS && header->idFrom != IDC_FORM_OPTIONS) return 0;
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (!winui::BecameSelected(change)) return 1;
    if (header->idFrom == IDC_FORM_FIELDS)
        return LoadField(
            static_cast<CItemForm::CField*>(listrows::Object(fieldList, change.iItem)));
    return LoadOption(static_cast<CItemForm::COption*>(listrows::Object(optionList, change.iItem)));
}

void CdlgPropItemForm::AddField()
{
    CItemForm::CField* field = changes->AddField(*node, kInput, L"New field", L"Value", -1);
    RefreshFieldRow(listrows::AppendSelected(fieldList, field));
    winui::FocusAll(fieldNameEdit);
}

void CdlgPropItemForm::RemoveField()
{
    if (!currentField) return;
    CItemForm::CField* field = currentField;
    int row = listrows::RowOf(fieldList, field);
    currentField = nullptr;
    currentOption = nullptr;
    // The option rows point into the field that goes.
    ::SendMessageW(optionList, LVM_DELETEALLITEMS, 0, 0);
    changes->RemoveField(*node, field);
    if (!listrows::RemoveAndSelectNext(fieldList, row)) LoadField(nullptr);
}

void CdlgPropItemForm::AddOption()
{
    if (!currentField || currentField->type != kSelect) return;
    CItemForm::COption* option = changes->AddOption(*node, *currentField, L"New option", L"Value");
    RefreshOptionRow(listrows::AppendSelected(optionList, option));
    winui::FocusAll(optionNameEdit);
}

void CdlgPropItemForm::RemoveOption()
{
    if (!currentOption || !currentField) return;
    CItemForm::COption* option = currentOption;
    int row = listrows::RowOf(optionList, option);
    currentOption = nullptr;
    changes->RemoveOption(*node, *currentField, option);
    if (!listrows::RemoveAndSelectNext(optionList, row)) LoadOption(nullptr);
}

void CdlgPropItemForm::ShowRow(const CSite& site)
{
    if (!site.field || site.node != node) return;
    int row = listrows::RowOf(fieldList, site.field);
    if (row < 0) return;
    if (currentField != site.field) {
        listrows::DeselectAll(fieldList);
        listrows::Select(fieldList, row);
    }
    ListView_EnsureVisible(fieldList, row, FALSE);
    if (!site.option) return;
    int optionRow = listrows::RowOf(optionList, site.option);
    if (optionRow < 0) return;
    listrows::DeselectAll(optionList);
    listrows::Select(optionList, optionRow);
    ListView_EnsureVisible(optionList, optionRow, FALSE);
}

CSite CdlgPropItemForm::CurrentRow() const
{
    CSite site;
    site.field = currentField;
    site.option = currentField ? currentOption : nullptr;
    return site;
}

CSite CdlgPropItemForm::Site(SitePart part) const
{
    CSite site;
    site.kind = kNodeItem;
    site.node = node;
    site.part = part;
    site.field = currentField;
    if (part == SitePart::OptionText || part == SitePart::OptionValue) site.option = currentOption;
    return site;
}
