// The markup of form items: the form, its fields and the options of a select field.
#pragma once

#include "model/item_form.h"

class CStream;

void WriteField(CStream& stream, const CItemForm::CField& field);
// `fieldValue` is the owning field's value, which decides the preselected option.
void WriteOption(CStream& stream, const CItemForm::COption& option, const std::wstring& fieldValue);
