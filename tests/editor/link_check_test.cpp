// The link check's results window in the real main window, against the tests' own server on
// loopback (tests/network/with_link_server.py starts it around this program and names it in
// QUIL_LINK_SERVER; without it these tests are skipped). Driven with real keys and clicks.
#include "editor/editor_fixture.h"
#include "gui_desktop.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "panes/pane_fixture.h"
#include "persist/text.h"
#include "test_support.h"
#include "winui/list_rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

// From the end-to-end helpers, whose header names another DocumentsFolder.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

namespace {

// What a row shows, by caption.
struct RowSeen
{
    std::wstring result, url, where, final;
};

class LinkCheckTest : public EditorWindowTest
{
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        bases = LinkServerBases();
        if (bases.size() < 2) GTEST_SKIP() << "no link server (run through with_link_server.py)";
    }

    std::wstring Url(const std::wstring& path, std::size_t host = 0) { return bases[host] + path; }

    CItemLink* Link(CGroup& group, const wchar_t* caption, const std::wstring& url)
    {
        return new CItemLink(group, caption, url);
    }

    // Every kind of answer the window must tell apart, a further link, a GET form, and a link in
    // a column of its own that is deleted while the check runs.
    void BuildProject()
    {
        project.title = L"Links";
        auto* web = new CColumn(project, L"Web");
        auto* checks = new CGroup(*web, L"Checks");
        ok = Link(*checks, L"ok", Url(L"/ok"));
        further = ok->AddLink(L"moved 308", Url(L"/perm"));
        moved = Link(*checks, L"moved", Url(L"/moved"));
        away = Link(*checks, L"moved away", Url(L"/away"));
        // A 301 to javascript: never becomes a link's address.
        script = Link(*checks, L"to script", Url(L"/hostile/to-javascript"));
        temporary = Link(*checks, L"temporary", Url(L"/temp"));
        Link(*checks, L"missing", Url(L"/missing"));
        Link(*checks, L"gone", Url(L"/gone"));
        Link(*checks, L"error", Url(L"/error"));
        Link(*checks, L"loop", Url(L"/loop-a"));
        Link(*checks, L"mail", L"mailto:someone@example.invalid");
        // Answers after two seconds: the check is still running while the test edits.
        Link(*checks, L"slow", Url(L"/slow"));
        auto* form = new CItemForm(*checks);
        form->name = L"find";
        form->action = Url(L"/ok?q");
        auto* old = new CColumn(project, L"Old");
        auto* spare = new CGroup(*old, L"Spare");
        doomed = Link(*spare, L"deleted soon", Url(L"/ok?deleted"));
        project.modified = false;
    }

    void Open(const LinkCheckSettings& settings)
    {
        OpenWindow();
        editor->linkCheck.SetJobSetup(settings, CreateSystemTransport);
        ::SetForegroundWindow(main);
        ::SetFocus(tree);
        Pump();
    }

    CdlgLinkCheck& Window() { return editor->linkCheck; }
    // How long a whole check may take before the test gives up (a safety net).
    static constexpr DWORD kCheckMs = 30000;

    // A key as the keyboard gives it, to the window with the focus.
    void Key(WORD key, bool control = false, bool shift = false)
    {
        std::vector<INPUT> inputs = KeyPressInputs(key, shift, control);
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        PumpFor(150);
    }

    // The mouse to a point of the screen, then the button events given.
    void MouseAt(POINT screen, const std::vector<DWORD>& buttons)
    {
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        std::vector<INPUT> inputs(1 + buttons.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            inputs[i].type = INPUT_MOUSE;
            inputs[i].mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
            inputs[i].mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
            inputs[i].mi.dwFlags =
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (i == 0 ? 0 : buttons[i - 1]);
        }
        ::SendInput(1, inputs.data(), sizeof(INPUT));
        PumpUntil(
            [&] {
                POINT now = {};
                ::GetCursorPos(&now);
                return now.x == screen.x && now.y == screen.y;
            },
            5000);
        if (inputs.size() > 1)
            ::SendInput(static_cast<UINT>(inputs.size() - 1), inputs.data() + 1, sizeof(INPUT));
        PumpFor(200);
    }
    void ClickAt(POINT screen) { MouseAt(screen, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); }

    // Ctrl+L, then waits for the whole check.
    void CheckLinks()
    {
        Key('L', true);
        ASSERT_TRUE(Window().IsOpen());
        ASSERT_TRUE(PumpUntil([this] { return Window().Results() != nullptr; }, kCheckMs));
    }

    int RowCount()
    {
        return static_cast<int>(::SendMessageW(Window().list, LVM_GETITEMCOUNT, 0, 0));
    }
    // The rows as the list shows them, by caption.
    std::map<std::wstring, RowSeen> Rows()
    {
        std::map<std::wstring, RowSeen> rows;
        for (int row = 0; row < RowCount(); ++row) {
            std::vector<std::wstring> cells = Row(Window().list, row);
            rows[cells[1]] = {cells[0], cells[2], cells[3], cells[4]};
        }
        return rows;
    }
    std::vector<std::wstring> ColumnTexts(int column)
    {
        std::vector<std::wstring> texts;
        for (int row = 0; row < RowCount(); ++row)
            texts.push_back(Cell(Window().list, row, column));
        return texts;
    }
    int RowOfCaption(const std::wstring& caption)
    {
        for (int row = 0; row < RowCount(); ++row) {
            if (Cell(Window().list, row, 1) == caption) return row;
        }
        return -1;
    }
    POINT RowPoint(int row)
    {
        RECT rect = {};
        rect.left = LVIR_LABEL;
        ::SendMessageW(Window().list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        POINT at = {rect.left + 10, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(Window().list, &at);
        return at;
    }
    POINT HeaderPoint(int column)
    {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(Window().list, LVM_GETHEADER, 0, 0));
        RECT rect = {};
        ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
        POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(header, &at);
        return at;
    }
    POINT Center(HWND control)
    {
        RECT rect = {};
        ::GetWindowRect(control, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    const TreeItemData* Selected()
    {
        auto item =
            reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        TVITEMW data = {};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        if (!item || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
            return nullptr;
        return reinterpret_cast<const TreeItemData*>(data.lParam);
    }

    // The results window in front with the focus in its list, as a click on it leaves it.
    void BringResultsForward()
    {
        ::SetForegroundWindow(Window().Window());
        PumpUntil([this] { return ::GetForegroundWindow() == Window().Window(); }, 2000);
        ::SetFocus(Window().list);
    }
    // After a row was opened: the main window is in front of the results window, which is
    // still open, and the selected tree item can be seen.
    void ExpectMainInFrontWithTheSelectionInSight()
    {
        PumpFor(100);
        EXPECT_EQ(::GetForegroundWindow(), main);
        EXPECT_TRUE(Window().IsOpen());
        RECT mainRect = {}, resultsRect = {}, overlap = {};
        ::GetWindowRect(main, &mainRect);
        ::GetWindowRect(Window().Window(), &resultsRect);
        ASSERT_TRUE(::IntersectRect(&overlap, &mainRect, &resultsRect)) << "they overlap";
        const POINT middle = {(overlap.left + overlap.right) / 2,
                              (overlap.top + overlap.bottom) / 2};
        EXPECT_EQ(::GetAncestor(::WindowFromPoint(middle), GA_ROOT), main);
        // TVM_GETITEMRECT takes the item in the rectangle's place.
        union {
            RECT rect;
            HTREEITEM item;
        } asked = {};
        asked.item =
            reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        ASSERT_TRUE(
            ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&asked.rect)));
        const RECT item = asked.rect;
        POINT at = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ::ClientToScreen(tree, &at);
        EXPECT_EQ(::WindowFromPoint(at), tree) << "the selected node is in sight";
    }
    // A click on a row, with Ctrl held when `control`: the pointer first stays on the row (under
    // Wine it may stray back to where it was), and a key sent as input is forgotten again at the
    // next event of the display, so Ctrl goes down with the click.
    void ClickRow(int row, bool control = false)
    {
        const POINT at = RowPoint(row);
        MouseAt(at, {});
        HoldPointerOn(
            at, 120, [&] { MouseAt(at, {}); }, [this] { PumpFor(10); });
        std::vector<INPUT> key = KeyPressInputs(VK_CONTROL);
        // The buttons carry the place too, so that they land there whatever Wine thinks.
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT down = {};
        down.type = INPUT_MOUSE;
        down.mi.dx = static_cast<LONG>((at.x * 65535 + width / 2) / (width - 1));
        down.mi.dy = static_cast<LONG>((at.y * 65535 + height / 2) / (height - 1));
        INPUT up = down;
        down.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        up.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
        std::vector<INPUT> sequence = {down, up};
        if (control) sequence = {key[0], down, up, key[1]};
        ::SendInput(static_cast<UINT>(sequence.size()), sequence.data(), sizeof(INPUT));
        // Rows are farther apart than a double-click may stray: the next click on another row is
        // a click of its own.
        PumpFor(150);
    }
    // Whether a control's text fits its width in its font: nothing is cut off.
    static bool TextFits(HWND control)
    {
        const std::wstring text = Text(control);
        HDC dc = ::GetDC(control);
        HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        RECT client = {};
        ::GetClientRect(control, &client);
        return extent.cx <= client.right;
    }

    LinkCheckSettings Quick()
    {
        LinkCheckSettings settings;
        settings.timeoutSeconds = 10; // /slow answers after 2 s
        return settings;
    }

    std::vector<std::wstring> bases;
    CItemLink* ok = nullptr;
    CItemLink::CLink* further = nullptr;
    CItemLink* moved = nullptr;
    CItemLink* away = nullptr;
    CItemLink* script = nullptr;
    CItemLink* temporary = nullptr;
    CItemLink* doomed = nullptr;
};

} // namespace

TEST_F(LinkCheckTest, ListsEveryPlaceAsTheServerAnsweredProblemsFirstWhileTheProjectIsEdited)
{
    BuildProject();
    Open(Quick());
    const std::wstring checkedTemporary = temporary->mainLink.url;
    Key('L', true);
    ASSERT_TRUE(Window().IsOpen());
    ASSERT_TRUE(Window().Running());
    EXPECT_EQ(Window().Job()->Total(), 13u); // mail is not asked, the two /ok?... are
    // The window works while the check runs: a node is deleted, an address changed.
    shell.answers = {IDOK};
    const TreeItemData* record = editor->FindTreeItemData(kNodeItem, doomed);
    ASSERT_NE(record, nullptr);
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(record->item));
    ::SendMessageW(main, WM_COMMAND, IDM_DELETE, 0);
    CSite site;
    site.kind = kNodeItem;
    site.node = temporary;
    site.part = SitePart::MainUrl;
    editor->changes.SetText(site, L"http://changed.invalid/");
    EXPECT_TRUE(Window().Running()) << "the check ended before the edits";
    EXPECT_FALSE(Text(Window().status).empty());
    ASSERT_TRUE(PumpUntil([this] { return Window().Results() != nullptr; }, kCheckMs));

    std::map<std::wstring, RowSeen> rows = Rows();
    const std::map<std::wstring, std::wstring> expected = {
        {L"ok", L"OK"},
        {L"moved 308", L"Moved"},
        {L"moved", L"Moved"},
        {L"moved away", L"Moved"},
        {L"to script", L"Redirect to a non-web address"},
        {L"temporary", L"Redirected"},
        {L"missing", L"Not found (404)"},
        {L"gone", L"Not found (410)"},
        {L"error", L"Server error (500)"},
        {L"loop", L"Too many redirects"},
        {L"mail", L"Not checked"},
        {L"slow", L"OK"},
        {L"find", L"OK"},
    };
    EXPECT_EQ(rows.size(), expected.size()) << "the deleted node's place is dropped";
    for (const auto& [caption, result] : expected)
        EXPECT_EQ(rows[caption].result, result) << caption;
    EXPECT_EQ(rows[L"moved"].final, Url(L"/ok"));
    EXPECT_EQ(rows[L"moved away"].final, Url(L"/ok", 1));
    EXPECT_EQ(rows[L"moved 308"].final, Url(L"/ok"));
    EXPECT_EQ(rows[L"to script"].final, L"javascript:alert(document.cookie)");
    EXPECT_EQ(rows[L"temporary"].final, Url(L"/ok"));
    EXPECT_EQ(rows[L"temporary"].url, checkedTemporary) << "reported with what was checked";
    EXPECT_EQ(rows[L"moved 308"].where, L"Web / Checks");
    EXPECT_EQ(rows[L"find"].url, Url(L"/ok?q"));

    // Problems first: moved, out of the web, not found, server error, too many redirects; then
    // the rest.
    const std::vector<std::wstring> results = ColumnTexts(0);
    const std::vector<std::wstring> order = {L"Moved",
                                             L"Moved",
                                             L"Moved",
                                             L"Redirect to a non-web address",
                                             L"Not found (404)",
                                             L"Not found (410)",
                                             L"Server error (500)",
                                             L"Too many redirects",
                                             L"Redirected",
                                             L"OK",
                                             L"OK",
                                             L"OK",
                                             L"Not checked"};
    EXPECT_EQ(results, order);
    // The summary counts the list as it stands: the deleted node's place is not counted.
    EXPECT_EQ(Text(Window().status),
              L"13 places, 12 addresses: 3 OK, 3 Moved, 1 Redirected, 1 Redirect to a non-web "
              L"address, 2 Not found, 1 Server error, 1 Too many redirects; 1 not checked");
    EXPECT_TRUE(TextFits(Window().status)) << "the summary is whole";
    EXPECT_TRUE(::IsWindowEnabled(Window().replaceButton));
    EXPECT_FALSE(::IsWindowEnabled(Window().cancelButton));
    EXPECT_FALSE(::IsWindowVisible(Window().againButton)) << "the computer is online";
    EXPECT_EQ(::GetWindow(Window().Window(), GW_OWNER), nullptr);
    // Not owned, it still shows the program's icon.
    EXPECT_EQ(::SendMessageW(Window().Window(), WM_GETICON, ICON_BIG, 0),
              static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICON)));
    EXPECT_EQ(::SendMessageW(Window().Window(), WM_GETICON, ICON_SMALL, 0),
              static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICONSM)));

    ::RedrawWindow(Window().Window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(SaveWindowScreenshot(Window().Window(), WindowsPath(QUIL_SCREENSHOT_DIR) +
                                                            L"\\screenshot-link-check.png"));
}

TEST_F(LinkCheckTest, SortsByHeaderClicksOpensRowsAndReplacesMovedLinksAsOneUndoableStep)
{
    BuildProject();
    Open(Quick());
    CheckLinks();
    const std::wstring outlineBefore = ProjectOutline(project);
    const std::wstring summaryBefore = Text(Window().status);
    EXPECT_EQ(summaryBefore,
              L"14 places, 13 addresses: 4 OK, 3 Moved, 1 Redirected, 1 Redirect to a non-web "
              L"address, 2 Not found, 1 Server error, 1 Too many redirects; 1 not checked");

    // Caption ascending, then descending.
    ClickAt(HeaderPoint(1));
    std::vector<std::wstring> captions = ColumnTexts(1);
    std::vector<std::wstring> sorted = captions;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(captions, sorted);
    // A second click, not a double-click.
    PumpFor(::GetDoubleClickTime() + 100);
    ClickAt(HeaderPoint(1));
    captions = ColumnTexts(1);
    std::reverse(sorted.begin(), sorted.end());
    EXPECT_EQ(captions, sorted);

    // A double-click on the further link's row selects its item and that row in the link pane,
    // and brings the main window in front of the results, which stay open behind it.
    int row = RowOfCaption(L"moved 308");
    ASSERT_GE(row, 0);
    MouseAt(RowPoint(row),
            {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    const TreeItemData* selected = Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->node, ok);
    EXPECT_TRUE(::IsWindowVisible(editor->linkPane.Window()));
    EXPECT_EQ(listrows::Selected(::GetDlgItem(editor->linkPane.Window(), IDC_LINK_LIST)), 0);
    ExpectMainInFrontWithTheSelectionInSight();
    // Enter on a row does the same.
    BringResultsForward();
    listrows::Select(Window().list, RowOfCaption(L"moved away"));
    Key(VK_RETURN);
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->node, away);
    ExpectMainInFrontWithTheSelectionInSight();

    // Replace moved links: one step, the project modified, the list updated.
    BringResultsForward();
    ClickAt(Center(Window().replaceButton));
    EXPECT_EQ(moved->mainLink.url, Url(L"/ok"));
    EXPECT_EQ(away->mainLink.url, Url(L"/ok", 1));
    EXPECT_EQ(further->url, Url(L"/ok"));
    EXPECT_EQ(temporary->mainLink.url, Url(L"/temp")) << "a temporary redirect is kept";
    EXPECT_EQ(script->mainLink.url, Url(L"/hostile/to-javascript"));
    EXPECT_EQ(Rows()[L"to script"].result, L"Redirect to a non-web address");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(editor->changes.UndoName(), L"replace moved links");
    EXPECT_EQ(Rows()[L"moved"].result, L"Replaced");
    EXPECT_EQ(Rows()[L"moved"].url, Url(L"/ok"));
    EXPECT_FALSE(::IsWindowEnabled(Window().replaceButton));
    // The link pane shows the item that was open, with its new address.
    EXPECT_EQ(Text(::GetDlgItem(editor->linkPane.Window(), IDC_LINK_URL)), Url(L"/ok", 1));
    // The summary counts them as replaced...
    EXPECT_EQ(Text(Window().status),
              L"14 places, 13 addresses: 4 OK, 1 Redirected, 1 Redirect to a non-web address, 2 "
              L"Not found, 1 Server error, 1 Too many redirects, 3 Replaced; 1 not checked");

    // Ctrl+Z in the results window undoes it in the main window: model, tree and list back.
    Key('Z', true);
    EXPECT_EQ(moved->mainLink.url, Url(L"/moved"));
    EXPECT_EQ(away->mainLink.url, Url(L"/away"));
    EXPECT_EQ(further->url, Url(L"/perm"));
    EXPECT_EQ(ProjectOutline(project), outlineBefore);
    EXPECT_EQ(TreeLabel(kNodeItem, moved), L"moved");
    ASSERT_TRUE(PumpUntil([this] { return Rows()[L"moved"].result == L"Moved"; }, 5000));
    EXPECT_TRUE(::IsWindowEnabled(Window().replaceButton));
    // ...and as moved again once that is undone.
    EXPECT_EQ(Text(Window().status), summaryBefore);

    // The keyboard: Tab leaves the list, Escape closes the window.
    ::SetForegroundWindow(Window().Window());
    ::SetFocus(Window().list);
    Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), Window().deleteButton) << "a row is selected";
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window().IsOpen());
}

TEST_F(LinkCheckTest, ClosingTheWindowOrQuittingWhileACheckRunsCancelsItWithoutWaiting)
{
    auto* column = new CColumn(project, L"Web");
    auto* group = new CGroup(*column, L"Waits");
    Link(*group, L"quick", Url(L"/ok"));
    // Longer than the test would wait: the check never sees its answer.
    Link(*group, L"sleeps", Url(L"/sleep/40"));
    LinkCheckSettings settings;
    settings.timeoutSeconds = 60;
    Open(settings);
    Key('L', true);
    ASSERT_TRUE(
        PumpUntil([this] { return Window().Job() && Window().Job()->Done() >= 1; }, kCheckMs));
    PumpFor(300);
    ASSERT_TRUE(Window().Running());
    // A second Ctrl+L while it runs brings the window forward and starts nothing.
    const CLinkCheckJob* running = Window().Job();
    Key('L', true);
    EXPECT_EQ(Window().Job(), running);
    EXPECT_TRUE(Window().IsOpen());

    // Closing the window cancels the check; the window does not wait for the request.
    const DWORD closing = ::GetTickCount();
    ::SetForegroundWindow(Window().Window());
    ::SetFocus(Window().list);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window().IsOpen());
    EXPECT_FALSE(Window().Running());
    EXPECT_LT(::GetTickCount() - closing, 5000u);

    // A new check, and quitting while it runs: the program ends well before the answer.
    Key('L', true);
    ASSERT_TRUE(
        PumpUntil([this] { return Window().Job() && Window().Job()->Done() >= 1; }, kCheckMs));
    PumpFor(300);
    ASSERT_TRUE(Window().Running());
    const DWORD quitting = ::GetTickCount();
    ::SendMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    editor.reset();
    const DWORD took = ::GetTickCount() - quitting;
    EXPECT_LT(took, 10000u) << "quitting waited " << took << " ms for the check";
}

TEST_F(LinkCheckTest, WhenNoHostCanBeFoundTheWindowSaysTheComputerSeemsOfflineAndOffersCheckAgain)
{
    project.title = L"Offline";
    auto* group = new CGroup(*new CColumn(project, L"Web"), L"Everyday");
    CItemLink* news = Link(*group, L"news", L"http://news.quillomere.invalid/");
    Link(*group, L"mail", L"https://mail.quillomere.invalid/inbox");
    Link(*group, L"weather", L"http://weather.quillomere.invalid/today");
    Link(*group, L"weather again", L"http://weather.quillomere.invalid/today");
    project.modified = false;
    Open(Quick());
    CheckLinks();

    EXPECT_EQ(Text(Window().status),
              L"This computer seems to be offline: none of the 3 addresses could be reached.");
    EXPECT_TRUE(TextFits(Window().status));
    EXPECT_TRUE(::IsWindowVisible(Window().againButton));
    EXPECT_FALSE(::IsWindowVisible(Window().cancelButton));
    ASSERT_EQ(RowCount(), 4);
    for (const auto& [caption, row] : Rows()) {
        EXPECT_EQ(row.result, L"Cannot connect") << ToUtf8(caption);
        EXPECT_EQ(row.final, L"The host name could not be found (WinHTTP error 12007)")
            << ToUtf8(caption);
    }
    ::RedrawWindow(Window().Window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(
        SaveWindowScreenshot(Window().Window(), WindowsPath(QUIL_SCREENSHOT_DIR) +
                                                    L"\\screenshot-link-check-offline.png"));

    // Back online (one address now answers): Check again, with the mouse, checks anew.
    CSite site;
    site.kind = kNodeItem;
    site.node = news;
    site.part = SitePart::MainUrl;
    editor->changes.SetText(site, Url(L"/ok"));
    BringResultsForward();
    ClickAt(Center(Window().againButton));
    ASSERT_TRUE(PumpUntil([this] { return Window().Results() && Rows()[L"news"].result == L"OK"; },
                          kCheckMs));
    EXPECT_EQ(Text(Window().status), L"4 places, 3 addresses: 1 OK, 3 Cannot connect");
    EXPECT_FALSE(::IsWindowVisible(Window().againButton));
    EXPECT_TRUE(::IsWindowVisible(Window().cancelButton));
}

TEST_F(LinkCheckTest, SelectedRowsAreDeletedAsOneStepAndCopiedAndTheSummaryFollowsDeleteAndUndo)
{
    project.title = L"Dead links";
    auto* group = new CGroup(*new CColumn(project, L"Web"), L"Checks");
    CItemLink* home = Link(*group, L"home", Url(L"/ok"));
    home->AddLink(L"old", Url(L"/missing"));
    Link(*group, L"gone", Url(L"/gone"));
    Link(*group, L"missing", Url(L"/missing?x"));
    Link(*group, L"fine", Url(L"/ok?fine"));
    auto* form = new CItemForm(*group);
    form->name = L"find";
    form->action = Url(L"/missing?q");
    project.modified = false;
    Open(Quick());
    CheckLinks();
    const std::wstring outlineBefore = ProjectOutline(project);
    const std::wstring summaryBefore = L"6 places, 6 addresses: 2 OK, 4 Not found";
    EXPECT_EQ(Text(Window().status), summaryBefore);
    EXPECT_FALSE(::IsWindowEnabled(Window().deleteButton)) << "nothing selected yet";

    // Three rows picked with the mouse: a further link, a main link and a form.
    BringResultsForward();
    ClickRow(RowOfCaption(L"old"));
    ClickRow(RowOfCaption(L"gone"), true);
    ClickRow(RowOfCaption(L"find"), true);
    ASSERT_EQ(::SendMessageW(Window().list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    EXPECT_TRUE(::IsWindowEnabled(Window().deleteButton));

    // Ctrl+C: the selected rows as text, a line each, cells between tabs.
    Key('C', true);
    std::wstring copied;
    if (::OpenClipboard(Window().Window())) {
        if (auto* text =
                static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)))) {
            copied = text;
            ::GlobalUnlock(::GetClipboardData(CF_UNICODETEXT));
        }
        ::CloseClipboard();
    }
    EXPECT_EQ(copied, L"Not found (404)\told\t" + Url(L"/missing") + L"\tWeb / Checks\t\r\n" +
                          L"Not found (410)\tgone\t" + Url(L"/gone") + L"\tWeb / Checks\t\r\n" +
                          L"Not found (404)\tfind\t" + Url(L"/missing?q") +
                          L"\tWeb / Checks\t\r\n");

    // Not while the main window is held by a message box of its own, which may be acting on
    // one of these nodes.
    ::EnableWindow(main, FALSE);
    ClickAt(Center(Window().deleteButton));
    EXPECT_EQ(ProjectOutline(project), outlineBefore);
    ::EnableWindow(main, TRUE);

    // Delete selected links: the further link alone, the items of the others, as one step.
    ClickAt(Center(Window().deleteButton));
    ASSERT_EQ(group->items.size(), 3u);
    EXPECT_EQ(group->items[0], home);
    EXPECT_TRUE(home->links.empty());
    EXPECT_EQ(Text(::GetDlgItem(Window().Window(), IDC_LINKCHECK_STATUS)),
              L"3 places, 3 addresses: 2 OK, 1 Not found");
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(editor->changes.UndoName(), L"delete links");
    EXPECT_EQ(TreeLabel(kNodeItem, group->items[1]), L"missing");
    // The row that took the first deleted row's place is selected, for the next Delete.
    EXPECT_EQ(::SendMessageW(Window().list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(Cell(Window().list, listrows::Selected(Window().list), 1), L"missing");

    // Ctrl+Z in the results window: every link back, and the summary with them.
    ::SetFocus(Window().list);
    Key('Z', true);
    EXPECT_EQ(ProjectOutline(project), outlineBefore);
    ASSERT_TRUE(PumpUntil([this] { return RowCount() == 6; }, 5000));
    EXPECT_EQ(Text(Window().status), summaryBefore);

    // The Delete key does the same for the selected row.
    listrows::DeselectAll(Window().list);
    listrows::Select(Window().list, RowOfCaption(L"missing"));
    Key(VK_DELETE);
    EXPECT_EQ(group->items.size(), 4u);
    EXPECT_EQ(Text(Window().status), L"5 places, 5 addresses: 2 OK, 3 Not found");
}
