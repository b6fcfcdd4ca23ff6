/* inspect.exe: what the window system knows of the wizard, its boxes and the prefix, for the
   Wine end-to-end test. A line is its kind, then either one value or key=value pairs; a text,
   with line breaks and tabs escaped, is always the last pair (text=...) and runs to the end of
   the line. */
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <oleacc.h>
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <string_view>

#include "window/FormDesign.hpp"

using almanoria::ControlId;
using almanoria::kFrmMainDesign;

static std::wstring wide(std::string_view utf8) {
    std::wstring text(utf8.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &text[0],
                                           (int)text.size());
    text.resize(length > 0 ? (size_t)length : 0);
    return text;
}

static void put_text(const wchar_t *text) {
    static wchar_t escaped[16384];
    static char utf8[49152];
    int n = 0;
    for (const wchar_t *p = text; *p && n < 16000; ++p) {
        if (*p == L'\r') { escaped[n++] = L'\\'; escaped[n++] = L'r'; }
        else if (*p == L'\n') { escaped[n++] = L'\\'; escaped[n++] = L'n'; }
        else if (*p == L'\t') { escaped[n++] = L'\\'; escaped[n++] = L't'; }
        else escaped[n++] = *p;
    }
    escaped[n] = 0;
    WideCharToMultiByte(CP_UTF8, 0, escaped, -1, utf8, sizeof utf8, NULL, NULL);
    fputs(utf8, stdout);
}

static HWND g_main;

/* The wizard's window: titled as the design, or with " for " and the year it writes. */
static HWND find_main(void) {
    const std::wstring title = wide(kFrmMainDesign.Title);
    wchar_t text[256];
    for (HWND w = FindWindowExW(NULL, NULL, L"#32770", NULL); w;
         w = FindWindowExW(NULL, w, L"#32770", NULL)) {
        if (GetWindowTextW(w, text, 256) && !wcsncmp(text, title.c_str(), title.size()) &&
            (!text[title.size()] || !wcsncmp(text + title.size(), L" for ", 5)))
            return w;
    }
    return NULL;
}
static HFONT g_font;

static BOOL CALLBACK child(HWND hwnd, LPARAM unused) {
    (void)unused;
    if (GetParent(hwnd) != g_main) return TRUE;
    wchar_t cls[64], text[4096];
    text[0] = 0;
    GetClassNameW(hwnd, cls, 64);
    if (!lstrcmpiW(cls, L"Edit")) {
        DWORD_PTR got = 0;
        SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got);
    } else {
        InternalGetWindowText(hwnd, text, 4096);
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(NULL, g_main, (POINT *)&r, 2);
    /* The room the text needs in the window's font, measured as the control draws it, and
       where its ink falls when drawn without any clipping: a cut-off text shows less. */
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    int wraps = !lstrcmpiW(cls, L"Static") && (style & SS_TYPEMASK) == SS_LEFT;
    UINT flags = DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 2000, -400, 1, 32, BI_RGB, 0, 0, 0, 0, 0}};
    DWORD *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HGDIOBJ old_font = SelectObject(dc, g_font);
    RECT need = {0, 0, wraps ? r.right - r.left : 2000, 0};
    DrawTextW(dc, text, -1, &need, flags | DT_CALCRECT);
    for (int i = 0; i < 2000 * 400; ++i) bits[i] = 0xFFFFFF;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT area = {0, 0, wraps ? r.right - r.left : 2000, 400};
    DrawTextW(dc, text, -1, &area, flags);
    GdiFlush();
    int x0 = 100000, y0 = 100000, x1 = -1, y1 = -1;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 2000; ++x)
            if ((bits[y * 2000 + x] & 0xFFFFFF) != 0xFFFFFF) {
                if (x < x0) x0 = x;
                if (x > x1) x1 = x;
                if (y < y0) y0 = y;
                if (y > y1) y1 = y;
            }
    if (x1 < 0) x0 = y0 = -1;
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    /* What the keyboard meets there: a box that takes no typing, the push button Enter
       presses; and where an edit control draws its text, inside its edge and margins. */
    RECT text_area = {0, 0, 0, 0};
    if (!lstrcmpiW(cls, L"Edit")) {
        DWORD_PTR got = 0;
        SendMessageTimeoutW(hwnd, EM_GETRECT, 0, (LPARAM)&text_area, SMTO_ABORTIFHUNG, 5000, &got);
    }
    printf("child id=%d class=%ls enabled=%d visible=%d left=%ld top=%ld width=%ld height=%ld "
           "needw=%ld needh=%ld inkx0=%d inky0=%d inkx1=%d inky1=%d readonly=%d default=%d "
           "textareaw=%ld text=",
           GetDlgCtrlID(hwnd), cls, IsWindowEnabled(hwnd) ? 1 : 0, IsWindowVisible(hwnd) ? 1 : 0,
           r.left, r.top, r.right - r.left, r.bottom - r.top, need.right - need.left,
           need.bottom - need.top, x0, y0, x1, y1, (style & ES_READONLY) ? 1 : 0,
           !lstrcmpiW(cls, L"Button") && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 1 : 0,
           text_area.right - text_area.left);
    put_text(text);
    putchar('\n');
    return TRUE;
}

/* What the shell names for the folders the program looks in, as a program here sees them. */
static int folders(void) {
    static const struct { int id; const char *name; } wanted[] = {
        {CSIDL_PROGRAM_FILESX86, "programfilesx86"},
        {CSIDL_PROGRAM_FILES, "programfiles"},
        {CSIDL_LOCAL_APPDATA, "localappdata"},
    };
    for (int i = 0; i < 3; ++i) {
        wchar_t path[MAX_PATH] = {0};
        HRESULT result = SHGetFolderPathW(NULL, wanted[i].id, NULL, SHGFP_TYPE_CURRENT, path);
        printf("folder name=%s found=%d text=", wanted[i].name, SUCCEEDED(result) ? 1 : 0);
        put_text(path);
        putchar('\n');
    }
    return 0;
}

static BOOL CALLBACK box_child(HWND hwnd, LPARAM unused) {
    (void)unused;
    wchar_t cls[64], text[4096];
    text[0] = 0;
    GetClassNameW(hwnd, cls, 64);
    if (!lstrcmpiW(cls, L"Edit") || !lstrcmpiW(cls, L"ComboBox")) {
        DWORD_PTR got = 0;
        SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got);
    } else {
        InternalGetWindowText(hwnd, text, 4096);
    }
    printf("boxchild id=%d class=%ls visible=%d text=", GetDlgCtrlID(hwnd), cls,
           IsWindowVisible(hwnd) ? 1 : 0);
    put_text(text);
    putchar('\n');
    /* A box's icon is a picture only: where it stands on the screen, to be looked at there. */
    if (!lstrcmpiW(cls, L"Static") && (GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        RECT r;
        GetWindowRect(hwnd, &r);
        printf("boxicon left=%ld top=%ld width=%ld height=%ld\n", r.left, r.top, r.right - r.left,
               r.bottom - r.top);
    }
    return TRUE;
}

static BOOL CALLBACK top(HWND hwnd, LPARAM unused) {
    (void)unused;
    wchar_t text[512], cls[64];
    if (!IsWindowVisible(hwnd)) return TRUE;
    GetClassNameW(hwnd, cls, 64);
    /* A tooltip on the screen that the wizard's process shows; it answers WM_GETTEXT with the
       text of the tool it shows. */
    DWORD process = 0, wizard = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (g_main) GetWindowThreadProcessId(g_main, &wizard);
    if (!lstrcmpiW(cls, TOOLTIPS_CLASSW) && wizard && process == wizard) {
        DWORD_PTR got = 0;
        text[0] = 0;
        SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got);
        printf("tooltip ");
        put_text(text);
        putchar('\n');
        return TRUE;
    }
    InternalGetWindowText(hwnd, text, 512);
    if (!lstrcmpW(text, L"Application Error") ||
        !lstrcmpW(text, wide(almanoria::kBrowseDialogTitle).c_str())) {
        printf("box ");
        put_text(text);
        putchar('\n');
        EnumChildWindows(hwnd, box_child, 0);
    }
    return TRUE;
}

/* The window's class, and its role as assistive technology reads it through oleacc: 18 for
   a dialog, 10 for a plain client area; "none" where oleacc gives no answer. */
static void role(HWND window) {
    wchar_t cls[64];
    GetClassNameW(window, cls, 64);
    printf("class name=");
    put_text(cls);
    IAccessible *accessible = NULL;
    VARIANT self, answer;
    VariantInit(&self);
    VariantInit(&answer);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (SUCCEEDED(AccessibleObjectFromWindow(window, (DWORD)OBJID_CLIENT, IID_IAccessible,
                                             (void **)&accessible)) &&
        SUCCEEDED(accessible->get_accRole(self, &answer)) && answer.vt == VT_I4)
        printf(" role=%ld\n", answer.lVal);
    else
        printf(" role=none\n");
    if (accessible) accessible->Release();
}

static int count_boxes(void) {
    int boxes = 0;
    for (HWND w = FindWindowExW(NULL, NULL, NULL, L"Application Error"); w;
         w = FindWindowExW(NULL, w, NULL, L"Application Error"))
        if (IsWindowVisible(w)) ++boxes;
    return boxes;
}

/* An alert the wizard raises, as a screen reader hears it: the control and its text. */
static int g_alerts;
static void CALLBACK alert(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (!hwnd || object != OBJID_CLIENT) return;
    wchar_t text[1024] = L"";
    InternalGetWindowText(hwnd, text, 1024);
    printf("alert id=%d text=", GetDlgCtrlID(hwnd));
    put_text(text);
    putchar('\n');
    fflush(stdout);
    ++g_alerts;
}

/* Polls the label and the two buttons until the run has ended, printing each new state:
   the run holds the program's thread, but the window texts live in the server. The alerts
   raised meanwhile come in between. */
static int watch(int seconds) {
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, NULL, alert, 0,
                                         0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    wchar_t label[1024], next[64], last[1200] = L"", now[1200];
    printf("watching\n");
    fflush(stdout);
    DWORD end = GetTickCount() + seconds * 1000u, finish_seen = 0;
    while (GetTickCount() < end) {
        HWND main = find_main();
        if (!main) { printf("gone\n"); return 0; }
        HWND lbl = GetDlgItem(main, ControlId(kFrmMainDesign.lblUpdate)),
             cancel = GetDlgItem(main, ControlId(kFrmMainDesign.cmdCancel)),
             button = GetDlgItem(main, ControlId(kFrmMainDesign.cmdButton1));
        /* The controls are read one after the other while the run goes on: a state counts only
           when a second reading gives the same, so no reading mixes two states. */
        int boxes = 0, next_on = 0, cancel_on = 0;
        wchar_t again[1200] = L"";
        for (int reading = 0; reading < 2; ++reading) {
            lstrcpyW(again, now);
            label[0] = next[0] = 0;
            InternalGetWindowText(lbl, label, 1024);
            InternalGetWindowText(button, next, 64);
            boxes = count_boxes();
            next_on = IsWindowEnabled(button) ? 1 : 0;
            cancel_on = IsWindowEnabled(cancel) ? 1 : 0;
            _snwprintf(now, 1200, L"state next=%ls|%d cancel=%d boxes=%d label=%ls", next, next_on,
                       cancel_on, boxes, label);
            now[1199] = 0;
        }
        if (lstrcmpW(now, again)) continue;
        if (lstrcmpW(now, last)) {
            put_text(now);
            putchar('\n');
            fflush(stdout);
            lstrcpyW(last, now);
        }
        /* The run ends with Finish enabled, then Cancel disabled and the completion's alert:
           give the two a moment. */
        if (boxes > 0) break;
        if (!lstrcmpW(next, wide(almanoria::kFinishCaption).c_str()) && next_on) {
            if (!cancel_on && g_alerts > 0) break;
            if (!finish_seen) finish_seen = GetTickCount();
            else if (GetTickCount() - finish_seen > 10000) break;
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    if (hook) UnhookWinEvent(hook);
    if (GetTickCount() < end) return 0;
    printf("timeout\n");
    return 1;
}

/* Writes the quoted date '5/6/2012' into a calendar through the Access driver, as plain
   text: which day the driver stores shows how it reads dates under this locale. */
static int probe(const char *path) {
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    char connect[1024], out[1024];
    SQLSMALLINT out_length;
    snprintf(connect, sizeof connect,
             "Driver={Microsoft Access Driver (*.mdb)};Dbq=%s;Uid=admin;Pwd=", path);
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, NULL, (SQLCHAR *)connect, SQL_NTS, (SQLCHAR *)out,
                                        sizeof out, &out_length, SQL_DRIVER_NOPROMPT))) {
        printf("probe: no connection\n");
        return 1;
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLRETURN done = SQLExecDirect(stmt, (SQLCHAR *)"INSERT INTO Dates (DateKey, DateColor, "
        "EventCount, DateNotes, DateText) VALUES ('5/6/2012','probe','0','','');", SQL_NTS);
    printf("probe %s\n", SQL_SUCCEEDED(done) ? "written" : "refused");
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return SQL_SUCCEEDED(done) ? 0 : 1;
}

/* The standard box icons as a box draws them, 32 x 32 on the dialog colour, each written to
   C:\\e2e\\icon-NAME.bmp for the test to compare a box's icon with. */
static int icons(void) {
    static const struct { WORD id; const char *name; } kinds[] = {
        {32516, "information"}, {32513, "error"}, {32515, "warning"}, {32514, "question"}};
    for (size_t k = 0; k < sizeof kinds / sizeof kinds[0]; ++k) {
        HDC dc = CreateCompatibleDC(NULL);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 32, 32, 1, 24, BI_RGB, 0, 0, 0, 0, 0}};
        BYTE *bits = NULL;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 32, 32};
        FillRect(dc, &all, GetSysColorBrush(COLOR_3DFACE));
        DrawIconEx(dc, 0, 0, LoadIconW(NULL, MAKEINTRESOURCEW(kinds[k].id)), 32, 32, 0, NULL, DI_NORMAL);
        GdiFlush();
        char path[64];
        snprintf(path, sizeof path, "C:\\e2e\\icon-%s.bmp", kinds[k].name);
        FILE *out = fopen(path, "wb");
        if (!out) return 1;
        BITMAPFILEHEADER head = {0x4D42, (DWORD)(sizeof head + sizeof info.bmiHeader + 32 * 96), 0, 0,
                                 (DWORD)(sizeof head + sizeof info.bmiHeader)};
        fwrite(&head, sizeof head, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, 32 * 96, 1, out);
        fclose(out);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        printf("icon %s\n", kinds[k].name);
    }
    return 0;
}

int main(int argc, char **argv) {
    SetProcessDPIAware();
    CoInitialize(NULL);
    if (argc == 3 && !strcmp(argv[1], "watch")) return watch(atoi(argv[2]));
    if (argc == 3 && !strcmp(argv[1], "probe")) return probe(argv[2]);
    if (argc == 2 && !strcmp(argv[1], "folders")) return folders();
    if (argc == 2 && !strcmp(argv[1], "icons")) return icons();
    int find_close_box = argc == 2 && !strcmp(argv[1], "closebox");
    g_font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    HDC screen = GetDC(NULL);
    printf("dpi %d\n", GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(NULL, screen);
    wchar_t date_format[80];
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, date_format, 80);
    printf("shortdate ");
    put_text(date_format);
    putchar('\n');
    /* The time separator and the months' short names a program under this locale is given. */
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, date_format, 80);
    printf("timesep ");
    put_text(date_format);
    /* The same through GetLocaleInfoEx of the user's default, as the program asks it. */
    typedef int(WINAPI * LocaleInfoEx)(const wchar_t *, LCTYPE, wchar_t *, int);
    LocaleInfoEx info_ex = (LocaleInfoEx)(void (*)(void))GetProcAddress(
        GetModuleHandleW(L"kernel32.dll"), "GetLocaleInfoEx");
    if (info_ex && info_ex(NULL, LOCALE_STIME, date_format, 80) > 0) {
        printf("\ntimesep_ex ");
        put_text(date_format);
    }
    printf("\nmonths");
    for (LCTYPE month = 0; month < 12; ++month) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + month, date_format, 80);
        putchar(' ');
        put_text(date_format);
    }
    putchar('\n');
    g_main = find_main();
    if (g_main && IsWindowVisible(g_main)) {
        RECT w, c;
        POINT origin = {0, 0};
        GetWindowRect(g_main, &w);
        GetClientRect(g_main, &c);
        ClientToScreen(g_main, &origin);
        printf("window left=%ld top=%ld width=%ld height=%ld clientx=%ld clienty=%ld "
               "clientw=%ld clienth=%ld\n",
               w.left, w.top, w.right - w.left, w.bottom - w.top, origin.x, origin.y, c.right,
               c.bottom);
        role(g_main);
        /* The one Enter presses where the focus is on no push button. */
        DWORD_PTR defid = 0;
        SendMessageTimeoutW(g_main, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &defid);
        printf("defid %d\n", HIWORD(defid) == DC_HASDEFID ? (int)LOWORD(defid) : 0);
        EnumChildWindows(g_main, child, 0);
        /* The control with the keyboard focus, as the window's own thread sees it. */
        GUITHREADINFO gui = {sizeof gui};
        int focus = 0;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(g_main, NULL), &gui) && gui.hwndFocus)
            focus = GetParent(gui.hwndFocus) == g_main ? GetDlgCtrlID(gui.hwndFocus) : -1;
        printf("focus id=%d active=%d\n", focus, gui.hwndActive == g_main ? 1 : 0);
        /* The title bar's close box: the point at the title bar's right end that the window
           itself calls the close box, looked for leftwards along the bar's middle. */
        TITLEBARINFO bar = {sizeof bar};
        if (find_close_box && !GetTitleBarInfo(g_main, &bar)) {
            bar.rcTitleBar.right = w.right - GetSystemMetrics(SM_CXFIXEDFRAME);
            bar.rcTitleBar.top = w.top + GetSystemMetrics(SM_CYFIXEDFRAME);
            bar.rcTitleBar.bottom = bar.rcTitleBar.top + GetSystemMetrics(SM_CYCAPTION);
        }
        if (find_close_box) {
            long y = (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2, found = -1;
            for (long x = bar.rcTitleBar.right - 1; x > bar.rcTitleBar.right - 80 && found < 0; --x) {
                DWORD_PTR hit = 0;
                SendMessageTimeoutW(g_main, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                                    5000, &hit);
                if (hit == HTCLOSE) found = x;
            }
            /* A few pixels inside its right edge. */
            if (found >= 0) printf("closebox x=%ld y=%ld\n", found - 6, y);
        }
    }
    EnumWindows(top, 0);
    printf("boxes %d\n", count_boxes());
    fflush(stdout);
    return 0;
}
