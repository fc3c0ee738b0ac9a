// Resource numbers, control ids and command ids, shared by quillomere.rc and the code.
#pragma once

// Icon, menus and accelerators.
#define IDI_QUILLOMERE 114
#define IDR_MAINMENU 111 // the main menu and the accelerator table share the number
#define IDR_CONTEXTMENU 109
#define IDR_HELP_PAGE 115 // the help page, an HTML file kept as raw data

// Property pane dialog templates.
#define IDD_PROP_PROJECT 101
#define IDD_PROP_COLUMN 103
#define IDD_PROP_GROUP 105
#define IDD_PROP_ITEMLINK 107
#define IDD_PROP_ITEMFORM 112
// The find bar below the tree and the pane.
#define IDD_FIND_BAR 120

// Commands of the main window (menus, context menu, accelerators).
#define IDM_ADD_COLUMN 40000
#define IDM_SAVE 40001
#define IDM_ADD_GROUP 40002
#define IDM_GENERATE 40003
#define IDM_ADD_LINK 40004
#define IDM_ADD_FORM 40005
#define IDM_EXIT 40006
#define IDM_REFRESH 40007
#define IDM_MOVE_UP 40008
#define IDM_MOVE_DOWN 40009
#define IDM_DELETE 40010
#define IDM_READ_HTML 40014
#define IDM_PREVIEW 40016
// The Edit menu.
#define IDM_UNDO 40100
#define IDM_REDO 40101
#define IDM_FIND 40102
#define IDM_FIND_NEXT 40103
#define IDM_FIND_PREVIOUS 40104
#define IDM_RENAME 40105
// Commands beyond the original table.
#define IDM_NEXT_PANE 40110     // F6: the focus between tree and pane
#define IDM_PREVIOUS_PANE 40111 // Shift+F6
#define IDM_HELP 40112          // F1
#define IDM_ABOUT 40113
// Nodes on the clipboard: in the Edit menu and the context menu; the keys act while the tree
// has the focus (an edit box keeps them for its text).
#define IDM_CUT 40140
#define IDM_COPY 40141
#define IDM_PASTE 40142
#define IDM_CHECK_LINKS 40160 // Ctrl+L
#define IDM_FETCH_ICONS 40180

// The File menu's Export bookmarks... and Options... (the Options dialog below).
#define IDM_EXPORT_BOOKMARKS 40450
#define IDM_OPTIONS 40451

// Children of the main window besides the tree and the panes.
#define IDC_STATUS_BAR 40120

// The About box.
#define IDD_ABOUT 116
#define IDC_ABOUT_ICON 40130
#define IDC_ABOUT_VERSION 40131
#define IDC_ABOUT_FILES 40132
#define IDC_ABOUT_NOTICES 40133

// The link check's results window.
#define IDD_LINK_CHECK 121
#define IDC_LINKCHECK_STATUS 40161
#define IDC_LINKCHECK_PROGRESS 40162
#define IDC_LINKCHECK_CANCEL 40163
#define IDC_LINKCHECK_LIST 40164
#define IDC_LINKCHECK_REPLACE 40165
#define IDC_LINKCHECK_HTTPS 40166
#define IDC_LINKCHECK_CLOSE 40167

// The icon fetch's window.
#define IDD_ICON_FETCH 122
#define IDC_ICONFETCH_STATUS 40183
#define IDC_ICONFETCH_PROGRESS 40184
#define IDC_ICONFETCH_CANCEL 40185
#define IDC_ICONFETCH_CLOSE 40186
// Acting on the results: several links deleted at once, a check made again, the links that got
// no icon.
#define IDC_LINKCHECK_DELETE 40550
#define IDC_LINKCHECK_AGAIN 40551
#define IDC_ICONFETCH_LIST 40552

// Project, column and group panes.
#define IDC_PROJECT_TITLE 1003
#define IDC_COLUMN_CAPTION 1004
#define IDC_GROUP_CAPTION 1001
// The project pane's page style, under the title.
#define IDC_PROJECT_STYLE_LABEL 40150
#define IDC_PROJECT_STYLE 40151
// The column pane's tab, under the caption.
#define IDC_COLUMN_TAB_LABEL 40400
#define IDC_COLUMN_TAB 40401

// Link pane.
#define IDC_LINK_CAPTION_LABEL 40054
#define IDC_LINK_CAPTION 1007
#define IDC_LINK_URL_LABEL 40056
#define IDC_LINK_URL 1006
#define IDC_LINK_DIVIDER_LABEL 40057
#define IDC_LINK_DIVIDER 1001
#define IDC_LINK_POPUP_LABEL 1003
#define IDC_LINK_POPUP 40059
#define IDC_LINK_LIST_LABEL 40053
#define IDC_LINK_LIST 40047
#define IDC_LINK_ROW_CAPTION 40048
#define IDC_LINK_ADD 40050
#define IDC_LINK_REMOVE 40058
#define IDC_LINK_ROW_URL 40049
// The main link's site icon, beside the caption, and the button that takes it away.
#define IDC_LINK_ICON 40181
#define IDC_LINK_CLEAR_ICON 40182

// Form pane.
#define IDC_FORM_NAME_LABEL 40011
#define IDC_FORM_NAME 40036
#define IDC_FORM_URL_LABEL 40012
#define IDC_FORM_URL 40037
#define IDC_FORM_METHOD_LABEL 40013
#define IDC_FORM_METHOD 40015
#define IDC_FORM_FIELDS_LABEL 40023
#define IDC_FORM_FIELDS 40017
#define IDC_FIELD_NAME 1002
#define IDC_FIELD_VALUE 40038
#define IDC_FIELD_ADD 40019
#define IDC_FIELD_REMOVE 40021
#define IDC_FIELD_TYPE 40041
#define IDC_FIELD_HIDDEN 40042
#define IDC_FORM_OPTIONS_LABEL 40024
#define IDC_FORM_OPTIONS 40025
#define IDC_OPTION_NAME 40032
#define IDC_OPTION_VALUE 40033
#define IDC_OPTION_ADD 40029
#define IDC_OPTION_REMOVE 40028

// Find bar.
#define IDC_FIND_LABEL 41000
#define IDC_FIND_TEXT 41001
#define IDC_FIND_NEXT 41002
#define IDC_FIND_PREVIOUS 41003
#define IDC_FIND_CASE 41004
#define IDC_FIND_STATUS 41005

// The Options dialog: what a save writes, and the browser of the preview and the help page.
#define IDD_OPTIONS 40460
#define IDC_OPTIONS_SAVING 40461
#define IDC_OPTIONS_WRITE_ON_SAVE 40462
#define IDC_OPTIONS_BROWSER 40463
#define IDC_OPTIONS_BROWSER_DEFAULT 40464
#define IDC_OPTIONS_BROWSER_PROGRAM 40465
#define IDC_OPTIONS_BROWSER_PATH 40466
#define IDC_OPTIONS_BROWSE 40467

// The main window's timers: the recovery file written a while after a change, and the look at
// the project file a moment after the window was activated.
#define IDT_RECOVERY 40600
#define IDT_FILE_CHECK 40601
