// Nodes moved anywhere, with real input (SendInput through the message loop): Cut, Copy and
// Paste with the tree focused, text with addresses pasted, Ctrl+C in an edit box, mouse drags in
// the tree (before or after by the half of the target, never into the own branch, Escape), and
// an OLE drop of a browser's address through the target the tree registered.
#include "editor/data_transfer.h"
#include "editor/editor_fixture.h"
#include "gui_desktop.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "persist/project_file.h"
#include "services/paths.h"
#include "test_support.h"
#include "transfer/utf16.h"

#include <ole2.h>

#include <cstring>
#include <map>

namespace {

void PutOnClipboard(HWND owner, UINT format, const std::string& bytes)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(global), bytes.data(), bytes.size());
    ::GlobalUnlock(global);
    ::SetClipboardData(format, global);
    ::CloseClipboard();
}

std::string ClipboardBytes(UINT format)
{
    std::string bytes;
    if (!::OpenClipboard(nullptr)) return bytes;
    if (HGLOBAL global = ::GetClipboardData(format)) {
        bytes.assign(static_cast<const char*>(::GlobalLock(global)), ::GlobalSize(global));
        ::GlobalUnlock(global);
    }
    ::CloseClipboard();
    return bytes;
}

std::wstring ClipboardText()
{
    return FromUtf16Le(ClipboardBytes(CF_UNICODETEXT));
}

// A data object as a browser gives one for a dragged link: formats and their bytes.
class CTestDataObject final : public IDataObject
{
public:
    std::map<CLIPFORMAT, std::string> formats;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (id == IID_IUnknown || id == IID_IDataObject) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        const std::string& bytes = formats[format->cfFormat];
        HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(::GlobalLock(global), bytes.data(), bytes.size());
        ::GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format && (format->tymed & TYMED_HGLOBAL) && formats.count(format->cfFormat)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
};

class TransferTest : public InputTest
{
protected:
    // The middle of an item's label, in the main window's client area, moved by `dy` pixels.
    POINT ItemPoint(std::int32_t kind, const CStreamable* node, int dy = 0)
    {
        RECT rect = {};
        HTREEITEM item = ItemOf(kind, node);
        std::memcpy(&rect, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
        ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 + dy};
        ::MapWindowPoints(tree, main, &at, 1);
        return at;
    }
    int HalfRow() { return static_cast<int>(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0)) / 4; }

    // Presses the left button on an item and moves off it at once, as a drag starts: the tree
    // waits for the move inside its button handling.
    void StartDrag(std::int32_t kind, const CStreamable* node)
    {
        POINT from = ItemPoint(kind, node);
        Mouse(from);
        POINT screen = from;
        ::ClientToScreen(main, &screen);
        const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT inputs[3] = {};
        for (int i = 0; i < 3; ++i) {
            inputs[i].type = INPUT_MOUSE;
            const int x = screen.x + (i == 0 ? 0 : 6 * i), y = screen.y + (i == 0 ? 0 : 6 * i);
            inputs[i].mi.dx = static_cast<LONG>((x * 65535 + width / 2) / (width - 1));
            inputs[i].mi.dy = static_cast<LONG>((y * 65535 + height / 2) / (height - 1));
            inputs[i].mi.dwFlags =
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (i == 0 ? MOUSEEVENTF_LEFTDOWN : 0);
        }
        ::SendInput(3, inputs, sizeof(INPUT));
        PumpUntil([this] { return editor->Dragging(); }, 3000);
    }
    // Drags a node onto a point and lets go there.
    void DragTo(std::int32_t kind, const CStreamable* node, POINT onto)
    {
        StartDrag(kind, node);
        ASSERT_TRUE(editor->Dragging());
        Mouse(onto);
        Mouse(onto, MOUSEEVENTF_LEFTUP);
        EXPECT_FALSE(editor->Dragging());
    }
    void FocusTreeWithKeys()
    {
        ::SetFocus(tree);
        Pump();
    }
    std::string SavedFile()
    {
        EXPECT_TRUE(SaveProjectFile(project, ProjectFilePath));
        return ReadFileBytes(ProjectFilePath);
    }
    std::wstring SavedOutline()
    {
        CProject loaded;
        EXPECT_GT(LoadProjectFile(loaded, ProjectFilePath), 0);
        return ProjectOutline(loaded);
    }
    HTREEITEM DropHighlight()
    {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
    }
};

} // namespace

TEST_F(TransferTest, CutAndPasteMoveALinkToAnotherGroupAndAGroupToAnotherColumn)
{
    Open();
    const std::string start = SaveToBytes(project);
    project.modified = false;
    Select(kNodeItem, inbox);
    FocusTreeWithKeys();
    Key('X', false, true);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Radio],Spare],Empty]");
    EXPECT_TRUE(project.modified);
    EXPECT_NE(ClipboardBytes(transfer::NodeFormat()), "");
    EXPECT_EQ(ClipboardText(), L"https://mail.example.com/");
    Select(kNodeGroup, docs);
    Key('V', false, true);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Search,Unnamed form],Docs[Wiki,Inbox]],"
                           L"Play[News[Paper,Radio],Spare],Empty]");
    ASSERT_EQ(docs->items.size(), 2u);
    EXPECT_EQ(Selected()->node, docs->items[1]) << "the pasted link is selected";
    EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"link"});
    ExpectTreeShowsModel();

    Select(kNodeGroup, mail);
    Key('X', false, true);
    Select(kNodeColumn, play);
    Key('V', false, true);
    const std::wstring moved = L"Home[Work[Docs[Wiki,Inbox]],Play[News[Paper,Radio],Spare,"
                               L"Mail[Search,Unnamed form]],Empty]";
    EXPECT_EQ(ModelText(), moved);
    EXPECT_EQ(Selected()->kind, kNodeGroup);
    EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"group"});
    ExpectTreeShowsModel();
    SavedFile();
    EXPECT_EQ(SavedOutline(), moved) << "model, tree and file agree";

    // Each is one step, undone in turn; the file of the start comes back.
    for (int i = 0; i < 4; ++i)
        Key('Z', false, true);
    EXPECT_EQ(SaveToBytes(project), start);
    ExpectTreeShowsModel();
}

TEST_F(TransferTest, CopyAndPasteTwiceGiveTwoIndependentCopiesEachUndone)
{
    Open();
    auto* paperLink = static_cast<CItemLink*>(paper);
    paperLink->SetPopupContent(L"<b>Today</b>");
    const std::string start = SaveToBytes(project);
    Select(kNodeItem, paper);
    FocusTreeWithKeys();
    Key('C', false, true);
    EXPECT_EQ(ModelText(), ProjectOutline(project));
    EXPECT_EQ(editor->changes.UndoName(), L"") << "a copy is no step";
    Select(kNodeGroup, spare);
    Key('V', false, true);
    Key('V', false, true);
    ASSERT_EQ(spare->items.size(), 2u);
    auto* first = static_cast<CItemLink*>(spare->items[0]);
    auto* second = static_cast<CItemLink*>(spare->items[1]);
    EXPECT_NE(first, paperLink);
    ASSERT_TRUE(first->popup && second->popup);
    EXPECT_NE(first->popup->id, second->popup->id);
    EXPECT_EQ(first->popup->content, L"<b>Today</b>");
    EXPECT_EQ(Selected()->node, second) << "pasted after the selected copy";
    ExpectTreeShowsModel();
    EXPECT_EQ(editor->changes.UndoName(), L"paste");
    Key('Z', false, true);
    EXPECT_EQ(spare->items.size(), 1u);
    Key('Z', false, true);
    EXPECT_EQ(SaveToBytes(project), start);
    ExpectTreeShowsModel();
}

TEST_F(TransferTest, TextWithAddressesPastesLinksAndTextWithoutPastesNothing)
{
    Open();
    PutOnClipboard(main, CF_UNICODETEXT,
                   ToUtf16Le(L"Look at these:\r\nhttps://www.example.org/news/?a=1&b=2\r\n"
                             L"ftp://ftp.example.net/pub/\r\n") +
                       std::string(2, '\0'));
    Select(kNodeItem, paper);
    FocusTreeWithKeys();
    Key('V', false, true);
    ASSERT_EQ(news->items.size(), 4u);
    auto* link = static_cast<CItemLink*>(news->items[1]);
    EXPECT_EQ(link->mainLink.caption, L"www.example.org/news");
    EXPECT_EQ(link->mainLink.url, L"https://www.example.org/news/?a=1&b=2") << "as typed";
    EXPECT_EQ(news->items[2]->GetLabel(), L"ftp.example.net/pub");
    EXPECT_EQ(news->items[3], radio);
    ExpectTreeShowsModel();
    EXPECT_EQ(editor->changes.UndoName(), L"paste");
    Key('Z', false, true);
    EXPECT_EQ(news->items.size(), 2u) << "the links are one step";

    PutOnClipboard(main, CF_UNICODETEXT, ToUtf16Le(L"just words") + std::string(2, '\0'));
    const std::wstring before = ModelText();
    Key('V', false, true);
    EXPECT_EQ(ModelText(), before);
    // An item onto a column without groups: nothing, no message.
    PutOnClipboard(main, CF_UNICODETEXT, ToUtf16Le(L"https://x.example/") + std::string(2, '\0'));
    Select(kNodeColumn, empty);
    Key('V', false, true);
    EXPECT_EQ(ModelText(), before);
    EXPECT_TRUE(shell.shown.empty());
}

TEST_F(TransferTest, CtrlCInAPaneEditCopiesTextNotNodes)
{
    Open();
    PutOnClipboard(main, CF_UNICODETEXT, ToUtf16Le(L"old") + std::string(2, '\0'));
    Select(kNodeItem, wiki);
    HWND caption = ::GetDlgItem(editor->linkPane.Window(), IDC_LINK_CAPTION);
    ::SetFocus(caption);
    ::SendMessageW(caption, EM_SETSEL, 0, -1);
    Pump();
    Key('C', false, true);
    EXPECT_EQ(ClipboardText(), L"Wiki");
    EXPECT_EQ(ClipboardBytes(transfer::NodeFormat()), "");
    // Ctrl+V and Ctrl+X act on the text as well: the tree keeps its nodes.
    ::SendMessageW(caption, EM_SETSEL, 4, 4);
    Key('V', false, true);
    EXPECT_EQ(wiki->GetLabel(), L"WikiWiki");
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[WikiWiki]],"
                           L"Play[News[Paper,Radio],Spare],Empty]");
    // The Edit menu's Copy acts on the edit box too.
    ::SendMessageW(caption, EM_SETSEL, 0, 2);
    Command(IDM_COPY);
    EXPECT_EQ(ClipboardText(), L"Wi");
}

TEST_F(TransferTest, AMouseDragMovesBeforeOrAfterByTheHalfOfTheTarget)
{
    Open();
    // Radio onto the upper half of Paper: before it.
    DragTo(kNodeItem, radio, ItemPoint(kNodeItem, paper, -HalfRow()));
    EXPECT_EQ(news->items[0], radio);
    EXPECT_EQ(news->items[1], paper);
    EXPECT_EQ(Selected()->node, radio);
    EXPECT_EQ(editor->changes.UndoName(), L"move");
    // Inbox onto the lower half of Wiki, in another group: after it.
    DragTo(kNodeItem, inbox, ItemPoint(kNodeItem, wiki, HalfRow()));
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Search,Unnamed form],Docs[Wiki,Inbox]],"
                           L"Play[News[Radio,Paper],Spare],Empty]");
    // A group onto a column: at its end.
    DragTo(kNodeGroup, docs, ItemPoint(kNodeColumn, empty));
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Search,Unnamed form]],"
                           L"Play[News[Radio,Paper],Spare],Empty[Docs[Wiki,Inbox]]]");
    EXPECT_TRUE(project.modified);
    ExpectTreeShowsModel();
    // Ctrl held as the button is let go: a copy. (Under Wine, a key sent as input is forgotten
    // again at the next event of the display, so it goes down with the release.)
    StartDrag(kNodeItem, paper);
    ASSERT_TRUE(editor->Dragging());
    POINT onto = ItemPoint(kNodeItem, radio, -HalfRow());
    Mouse(onto);
    std::vector<INPUT> control = KeyPressInputs(VK_CONTROL);
    INPUT release = {};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    INPUT sequence[] = {control[0], release, control[1]};
    ::SendInput(3, sequence, sizeof(INPUT));
    PumpFor(200);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Search,Unnamed form]],"
                           L"Play[News[Paper,Radio,Paper],Spare],Empty[Docs[Wiki,Inbox]]]");
    EXPECT_NE(news->items[0], paper);
    EXPECT_EQ(editor->changes.UndoName(), L"copy");
    ExpectTreeShowsModel();
    for (int i = 0; i < 4; ++i)
        Key('Z', false, true);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Radio],Spare],Empty]");
    ExpectTreeShowsModel();
}

TEST_F(TransferTest, ADropIntoTheOwnBranchOrAfterEscapeDoesNothing)
{
    Open();
    const std::wstring start = ModelText();
    // A column onto its own group, a group onto its own item.
    DragTo(kNodeColumn, work, ItemPoint(kNodeGroup, mail));
    DragTo(kNodeGroup, mail, ItemPoint(kNodeItem, inbox));
    EXPECT_EQ(ModelText(), start);
    EXPECT_EQ(editor->changes.UndoName(), L"");
    EXPECT_FALSE(project.modified);

    // Escape while the mouse is over a good target: the drag ends, nothing moves.
    StartDrag(kNodeItem, radio);
    ASSERT_TRUE(editor->Dragging());
    Mouse(ItemPoint(kNodeGroup, mail));
    EXPECT_EQ(DropHighlight(), ItemOf(kNodeGroup, mail)) << "the drop target is highlighted";
    Key(VK_ESCAPE);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_EQ(DropHighlight(), nullptr);
    Mouse(ItemPoint(kNodeGroup, mail), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(ModelText(), start);
    // Let go outside the tree: nothing either.
    StartDrag(kNodeItem, radio);
    POINT pane = {editor->TreeWidth() + 100, 100};
    Mouse(pane);
    Mouse(pane, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_EQ(ModelText(), start);
    EXPECT_FALSE(project.modified);
}

TEST_F(TransferTest, AScreenshotInTheMiddleOfADrag)
{
    Open();
    Resize(900, 600);
    StartDrag(kNodeItem, radio);
    ASSERT_TRUE(editor->Dragging());
    Mouse(ItemPoint(kNodeGroup, mail));
    // The picture as it stands: a redraw would paint over the dragged label until it moves.
    EXPECT_TRUE(
        SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\screenshot-drag.png"));
    EXPECT_EQ(DropHighlight(), ItemOf(kNodeGroup, mail));
    Key(VK_ESCAPE);
    Mouse(ItemPoint(kNodeGroup, mail), MOUSEEVENTF_LEFTUP);
}

TEST_F(TransferTest, AnInsertionMarkShowsWhereANodeGoesBesideOneOfItsKind)
{
    Open();
    Resize(900, 600);
    const CTreeDrag& drag = editor->Drag();
    StartDrag(kNodeItem, radio);
    ASSERT_TRUE(editor->Dragging());
    // Over the upper half of an item: before it; over the lower half: after it; no highlight.
    Mouse(ItemPoint(kNodeItem, paper, -HalfRow()));
    EXPECT_EQ(drag.InsertMark(), ItemOf(kNodeItem, paper));
    EXPECT_FALSE(drag.InsertMarkAfter());
    EXPECT_EQ(DropHighlight(), nullptr);
    Mouse(ItemPoint(kNodeItem, wiki, HalfRow()));
    EXPECT_EQ(drag.InsertMark(), ItemOf(kNodeItem, wiki));
    EXPECT_TRUE(drag.InsertMarkAfter());
    EXPECT_EQ(DropHighlight(), nullptr);
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_DIR) +
                                               L"\\screenshot-drag-mark.png"));
    // Over a group the link goes into: the group is highlighted, no mark.
    Mouse(ItemPoint(kNodeGroup, spare));
    EXPECT_EQ(drag.InsertMark(), nullptr);
    EXPECT_EQ(DropHighlight(), ItemOf(kNodeGroup, spare));
    // Over an item of another group: the mark as well.
    Mouse(ItemPoint(kNodeItem, inbox, -HalfRow()));
    EXPECT_EQ(drag.InsertMark(), ItemOf(kNodeItem, inbox));
    // Let go where the mark is: the node lands there, and the mark is gone.
    Mouse(ItemPoint(kNodeItem, wiki, HalfRow()));
    Mouse(ItemPoint(kNodeItem, wiki, HalfRow()), MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_EQ(drag.InsertMark(), nullptr);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki,Radio]],"
                           L"Play[News[Paper],Spare],Empty]");
    // A column dragged over another column: the mark too.
    StartDrag(kNodeColumn, empty);
    Mouse(ItemPoint(kNodeColumn, work, -HalfRow()));
    EXPECT_EQ(drag.InsertMark(), ItemOf(kNodeColumn, work));
    EXPECT_FALSE(drag.InsertMarkAfter());
    Key(VK_ESCAPE);
    EXPECT_EQ(drag.InsertMark(), nullptr);
    Mouse(ItemPoint(kNodeColumn, work), MOUSEEVENTF_LEFTUP);
}

TEST_F(TransferTest, TheTreeScrollsOnlyWithinOneItemHeightOfItsTopAndBottomEdge)
{
    for (int i = 0; i < 60; ++i)
        new CItemLink(*project.columns[1]->groups[1], L"Link " + std::to_wstring(i),
                      L"https://example.com/" + std::to_wstring(i));
    // A label wider than the tree: the horizontal scroll bar comes, and the items' area ends
    // above it (the zone once reached ~36 pixels above the tree's bottom edge this way).
    new CItemLink(*project.columns[1]->groups[1], std::wstring(120, L'w'), L"https://w.example/");
    Open();
    Resize(800, 500);
    ASSERT_TRUE(::GetWindowLongPtrW(tree, GWL_STYLE) & WS_HSCROLL);
    const int row = static_cast<int>(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    RECT frame = {};
    ::GetWindowRect(tree, &frame);
    const int x = (frame.left + frame.right) / 2;
    // The zone: one item height on either side of each edge, and nowhere else.
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.bottom - row}), 1);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.bottom + row - 1}), 1);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.bottom - row - 1}), 0);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.bottom - 36}), 0) << row;
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.bottom + row}), 0);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.top + row - 1}), -1);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.top - row}), -1);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {x, frame.top + row}), 0);
    EXPECT_EQ(CTreeDrag::ScrollZone(tree, {frame.right, frame.bottom - 1}), 0);

    auto firstVisible = [this] {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    };
    auto inMain = [this](int screenX, int screenY) {
        POINT at = {screenX, screenY};
        ::ScreenToClient(main, &at);
        return at;
    };
    const HTREEITEM top = firstVisible();
    StartDrag(kNodeItem, wiki);
    ASSERT_TRUE(editor->Dragging());
    // Resting just above the zone, over the last row the tree shows: no scrolling (six ticks
    // and more).
    Mouse(inMain(x, frame.bottom - row - 3));
    PumpFor(400);
    EXPECT_EQ(firstVisible(), top);
    // Within the zone it scrolls, and stops when the mouse leaves it.
    Mouse(inMain(x, frame.bottom - 3));
    EXPECT_TRUE(PumpUntil([&] { return firstVisible() != top; }, 3000)) << "scrolled down";
    Mouse(inMain(x, frame.top + 2 * row));
    const HTREEITEM stopped = firstVisible();
    PumpFor(300);
    EXPECT_EQ(firstVisible(), stopped);
    Mouse(inMain(x, frame.top + 3));
    EXPECT_TRUE(PumpUntil([&] { return firstVisible() == top; }, 5000)) << "scrolled back up";
    Key(VK_ESCAPE);
    Mouse(inMain(x, frame.top + 3), MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_FALSE(project.modified);
}

TEST_F(TransferTest, AnOleDropOfABrowsersAddressMakesALink)
{
    Open();
    auto* target = static_cast<IDropTarget*>(::GetPropW(tree, L"OleDropTargetInterface"));
    ASSERT_NE(target, nullptr) << "the tree is registered as a drop target";
    CTestDataObject data;
    data.formats[static_cast<CLIPFORMAT>(transfer::UrlFormat())] =
        ToUtf16Le(L"https://example.com/dropped?x=1&y=2") + std::string(2, '\0');
    std::string descriptor(4 + 592, '\0');
    descriptor[0] = 1;
    const std::string name = ToUtf16Le(L"Example Domain.url");
    descriptor.replace(76, name.size(), name);
    data.formats[static_cast<CLIPFORMAT>(transfer::DescriptorFormat())] = descriptor;
    data.formats[CF_UNICODETEXT] = ToUtf16Le(L"https://example.com/dropped") + std::string(2, '\0');

    POINT over = ItemPoint(kNodeGroup, spare);
    ::ClientToScreen(main, &over);
    const POINTL at = {over.x, over.y};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(DropHighlight(), ItemOf(kNodeGroup, spare));
    // Over a column without groups: no drop there.
    POINT none = ItemPoint(kNodeColumn, empty);
    ::ClientToScreen(main, &none);
    effect = DROPEFFECT_COPY;
    target->DragOver(MK_LBUTTON, POINTL{none.x, none.y}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(DropHighlight(), nullptr);
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE;
    target->DragOver(MK_LBUTTON, at, &effect);
    ASSERT_EQ(target->Drop(&data, 0, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    Pump();
    ASSERT_EQ(spare->items.size(), 1u);
    auto* link = static_cast<CItemLink*>(spare->items[0]);
    EXPECT_EQ(link->mainLink.caption, L"Example Domain");
    EXPECT_EQ(link->mainLink.url, L"https://example.com/dropped?x=1&y=2");
    EXPECT_EQ(Selected()->node, link);
    EXPECT_EQ(DropHighlight(), nullptr);
    EXPECT_EQ(editor->changes.UndoName(), L"drop");
    EXPECT_TRUE(project.modified);
    ExpectTreeShowsModel();
}

TEST_F(TransferTest, ADragOpensAClosedGroupItRestsOnAndScrollsAtTheEdge)
{
    // A long group, so that the tree scrolls.
    for (int i = 0; i < 60; ++i)
        new CItemLink(*project.columns[1]->groups[1], L"Link " + std::to_wstring(i),
                      L"https://example.com/" + std::to_wstring(i));
    Open();
    Resize(800, 500);
    ::SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE,
                   reinterpret_cast<LPARAM>(ItemOf(kNodeGroup, news)));
    Pump();
    auto expanded = [this](const CStreamable* group) {
        return (::SendMessageW(tree, TVM_GETITEMSTATE,
                               reinterpret_cast<WPARAM>(ItemOf(kNodeGroup, group)), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    };
    ASSERT_FALSE(expanded(news));
    StartDrag(kNodeItem, wiki);
    ASSERT_TRUE(editor->Dragging());
    Mouse(ItemPoint(kNodeGroup, news));
    EXPECT_TRUE(PumpUntil([&] { return expanded(news); }, 3000)) << "opened after a rest";

    // Near the bottom edge the tree scrolls down.
    auto firstVisible = [this] {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    };
    const HTREEITEM top = firstVisible();
    RECT client = {};
    ::GetClientRect(tree, &client);
    POINT bottom = {client.right / 2, client.bottom - 3};
    ::MapWindowPoints(tree, main, &bottom, 1);
    Mouse(bottom);
    EXPECT_TRUE(PumpUntil([&] { return firstVisible() != top; }, 3000)) << "scrolled";
    Key(VK_ESCAPE);
    Mouse(bottom, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(editor->Dragging());
    EXPECT_FALSE(project.modified);
}

TEST_F(TransferTest, DroppedShortcutAndBookmarkFilesAreOneStep)
{
    Open();
    auto* target = static_cast<IDropTarget*>(::GetPropW(tree, L"OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    const std::wstring shortcut = folder + L"\\Example Site.url";
    const std::wstring bookmarks = folder + L"\\bookmarks.html";
    WriteFileBytes(shortcut, "[InternetShortcut]\r\nURL=https://site.example/\r\n");
    WriteFileBytes(bookmarks, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Tools</H3>\n"
                              "<DL><p>\n<DT><A HREF=\"https://tool.example/\">Tool</A>\n</DL><p>\n"
                              "</DL><p>\n");
    // DROPFILES, then the wide paths, each ended by a NUL, and a NUL after the last.
    std::string drop(20, '\0');
    drop[0] = 20;
    drop[16] = 1; // wide names
    for (const std::wstring& path : {shortcut, bookmarks})
        drop += ToUtf16Le(path) + std::string(2, '\0');
    drop += std::string(2, '\0');
    CTestDataObject data;
    data.formats[CF_HDROP] = drop;
    const std::string before = SaveToBytes(project);

    POINT over = ItemPoint(kNodeItem, paper);
    ::ClientToScreen(main, &over);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, POINTL{over.x, over.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "never a move of the files";
    ASSERT_EQ(target->Drop(&data, 0, POINTL{over.x, over.y}, &effect), S_OK);
    Pump();
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Example Site,Radio],Spare],Empty,Tools[Tools[Tool]]]");
    EXPECT_EQ(news->items[1]->GetLabel(), L"Example Site");
    EXPECT_EQ(static_cast<CItemLink*>(news->items[1])->mainLink.url, L"https://site.example/");
    ExpectTreeShowsModel();
    EXPECT_EQ(editor->changes.UndoName(), L"drop");
    Key('Z', false, true);
    EXPECT_EQ(SaveToBytes(project), before);
    ExpectTreeShowsModel();
    ::DeleteFileW(shortcut.c_str());
    ::DeleteFileW(bookmarks.c_str());
}
