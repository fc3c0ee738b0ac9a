#include "model/item_form.h"

#include "model/tags.h"

CItemForm::COption::COption(const std::wstring& text, const std::wstring& value)
    : text(text), value(value)
{
}

CItemForm::CField::CField(CItemForm& parent, std::int32_t type, const std::wstring& name,
                          const std::wstring& value, std::int32_t size)
    : parent(&parent), type(type), name(name), value(value), size(size)
{
}

CItemForm::CField::~CField() = default;

CItemForm::COption* CItemForm::CField::AddOption(const std::wstring& text,
                                                 const std::wstring& value)
{
    COption* option = new COption(text, value);
    options.Append(option);
    return option;
}

void CItemForm::CField::RemoveOption(COption* option)
{
    options.Destroy(option);
}

CItemForm::CItemForm(CGroup& parent) : CItem(parent) {}

CItemForm::~CItemForm() = default;

std::uint32_t CItemForm::GetTag() const
{
    return tags::kItemForm;
}

std::wstring CItemForm::GetLabel() const
{
    return name.empty() ? L"Unnamed form" : name;
}

CItemForm::CField* CItemForm::AddField(std::int32_t type, const std::wstring& name,
                                       const std::wstring& value, std::int32_t size)
{
    CField* field = new CField(*this, type, name, value, size);
    fields.Append(field);
    return field;
}

void CItemForm::RemoveField(CField* field)
{
    fields.Destroy(field);
}
