// The form pane: name, address and method of a form, its fields and a select field's options.
#pragma once

#include "panes/prop_base.h"

class CItemForm;

class CdlgPropItemForm : public CdlgPropBase
{
public:
    explicit CdlgPropItemForm(CfrmTreeEditor& owner);
    void SetNode(CStreamable* node) override;

    CItemForm* node = nullptr; // not owned
};
