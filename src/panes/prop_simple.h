// The project, column and group panes: one label and one edit box each, bound to one text of the
// node.
#pragma once

#include "panes/prop_base.h"

#include <cstdint>
#include <string>

class CColumn;
class CGroup;
class CProject;

template <typename Node> class CdlgPropOneText : public CdlgPropBase
{
public:
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;

    Node* node = nullptr; // not owned
    HWND edit = nullptr;  // the node's text

protected:
    CdlgPropOneText(CfrmTreeEditor& owner, UINT templateId, std::int32_t kind, int editId,
                    std::wstring Node::*field);

private:
    std::int32_t kind; // a NodeKind, reported with each edit
    int editId;
    std::wstring Node::*field;
};

class CdlgPropProject : public CdlgPropOneText<CProject>
{
public:
    explicit CdlgPropProject(CfrmTreeEditor& owner);
};

class CdlgPropColumn : public CdlgPropOneText<CColumn>
{
public:
    explicit CdlgPropColumn(CfrmTreeEditor& owner);
};

class CdlgPropGroup : public CdlgPropOneText<CGroup>
{
public:
    explicit CdlgPropGroup(CfrmTreeEditor& owner);
};
