// The project, column and group panes: one label and one edit box each.
#pragma once

#include "panes/prop_base.h"

class CColumn;
class CGroup;
class CProject;

class CdlgPropProject : public CdlgPropBase
{
public:
    explicit CdlgPropProject(CfrmTreeEditor& owner);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;

    CProject* node = nullptr; // not owned
    HWND edit = nullptr;      // the project's title
};

class CdlgPropColumn : public CdlgPropBase
{
public:
    explicit CdlgPropColumn(CfrmTreeEditor& owner);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;

    CColumn* node = nullptr; // not owned
    HWND edit = nullptr;     // the column's caption
};

class CdlgPropGroup : public CdlgPropBase
{
public:
    explicit CdlgPropGroup(CfrmTreeEditor& owner);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;

    CGroup* node = nullptr; // not owned
    HWND edit = nullptr;    // the group's caption
};
