// The link pane: the main link, the divider, the popup text and the further links.
#pragma once

#include "panes/prop_base.h"

class CItemLink;

class CdlgPropItemLink : public CdlgPropBase
{
public:
    explicit CdlgPropItemLink(CfrmTreeEditor& owner);
    void SetNode(CStreamable* node) override;

    CItemLink* node = nullptr; // not owned
};
