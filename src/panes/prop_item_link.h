// The link pane: the main link with its site icon, the divider, the popup text and the further
// links.
#pragma once

#include "layout/grid_sizer.h"
#include "model/item_link.h"
#include "panes/icon_picture.h"
#include "panes/prop_base.h"

class CdlgPropItemLink : public CdlgPropBase
{
public:
    explicit CdlgPropItemLink(CProjectChanges& changes);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnNotify(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void SetNode(CStreamable* node) override;
    HWND FirstEdit() const override { return captionEdit; }
    // Selects the further link of the site.
    void ShowRow(const CSite& site) override;
    CSite CurrentRow() const override;

    // Rewrites the two cells of row `index` from its link; a row that does not exist is skipped.
    void RefreshLinkRow(int index);
    // Makes `link` current and shows it in the two link edits (their change notifications write
    // it back, as typing would); the link edits and "Remove..." are enabled only while a link is
    // current.
    void LoadLink(CItemLink::CLink* link);

    CGridSizer grid{4, 8};
    CItemLink* node = nullptr;               // not owned
    CItemLink::CLink* currentLink = nullptr; // the further link being edited; not owned
    HWND captionEdit = nullptr;              // main link caption
    HWND urlEdit = nullptr;                  // main link URL
    HWND dividerEdit = nullptr;
    HWND popupEdit = nullptr;
    HWND linkList = nullptr;        // one row per further link
    HWND linkCaptionEdit = nullptr; // current link's caption
    HWND linkUrlEdit = nullptr;     // current link's URL
    HWND iconView = nullptr;        // the main link's icon, or an empty square
    HWND clearIconButton = nullptr; // enabled while the item has an icon
    CIconPicture icon;

private:
    void Add();
    void Remove();
    void EnableLinkEditors(bool enable);
    // Shows the bound item's icon (16 pixels at 96 DPI, scaled for the window's DPI) and
    // enables "Clear icon" when there is one.
    void ShowIcon();
    void ClearIcon();
    // A site of the bound item.
    CSite Site(SitePart part, CItemLink::CLink* link = nullptr) const;
    // The grid's pixels and the icon's size follow the DPI.
    void OnDpiChanged() override;
};
