#include "model/item_form.h"

#include "model/tags.h"

CItemForm::COption::COption(std::wstring text, std::wstring value)
    : text(std::move(text)), value(std::move(value))
{
}

CItemForm::CField::CField(CItemForm& parent, std::int32_t type, std::wstring name,
                          std::wstring value, std::int32_t size)
    : parent(&parent), type(type), name(std::move(name)), value(std::move(value)), size(size)
{
}

CItemForm::CField::~CField() = default;

CItemForm::COption* CItemForm::CField::AddOption(std::wstring text, std::wstring value)
{
    COption* option = new COption(std::move(text), std::move(value));
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

CItemForm::CField* CItemForm::AddField(std::int32_t type, std::wstring name, std::wstring value,
                                       std::int32_t size)
{
    CField* field = new CField(*this, type, std::move(name), std::move(value), size);
    fields.Append(field);
    return field;
}

void CItemForm::RemoveField(CField* field)
{
    fields.Destroy(field);
}
