/* A DLL of a name the program must never load from its own folder, as a download folder may
 * hold one: built as version.dll (-DPLANTED_VERSION) or odbc32.dll (-DPLANTED_ODBC32), it
 * leaves "<its own path>.loaded" when it is loaded and "<its own path>.called" when one of its
 * functions is called, each of which fails. With
 * -DPLANTED_PROBE it is instead a program that imports both, run beside them to show that the
 * loader does take them from there. */
#if defined(PLANTED_PROBE)
#include <windows.h>

__declspec(dllimport) short WINAPI SQLAllocHandle(short, void*, void**);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    DWORD handle = 0;
    void* environment = NULL;
    (void)instance, (void)previous, (void)command, (void)show;
    return (int)GetFileVersionInfoSizeW(L"probe", &handle) + SQLAllocHandle(1, NULL, &environment);
}
#else
/* Only what kernel32 gives, declared here: windows.h would declare the functions below with
 * types of its own. */
#include <stddef.h>
#define WINAPI __stdcall
__declspec(dllimport) unsigned long WINAPI GetModuleFileNameW(void*, wchar_t*, unsigned long);
__declspec(dllimport) void* WINAPI CreateFileW(const wchar_t*, unsigned long, unsigned long, void*,
                                               unsigned long, unsigned long, void*);
__declspec(dllimport) int WINAPI CloseHandle(void*);

static void* gInstance;

/* An empty file "<this DLL's path><suffix>". */
static void Mark(const wchar_t* suffix) {
    wchar_t marker[300];
    const unsigned long length = GetModuleFileNameW(gInstance, marker, 280);
    if (length == 0 || length >= 280) return;
    size_t at = 0;
    for (; suffix[at] != 0 && at < 16; ++at) marker[length + at] = suffix[at];
    marker[length + at] = 0;
    /* GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL */
    void* const file = CreateFileW(marker, 0x40000000UL, 0, NULL, 2, 0x80, NULL);
    if (file != (void*)-1) CloseHandle(file);
}

int WINAPI DllMain(void* instance, unsigned long reason, void* reserved) {
    (void)reserved;
    if (reason == 1 /* DLL_PROCESS_ATTACH */) {
        gInstance = instance;
        Mark(L".loaded");
    }
    return 1;
}

/* Each function of the real DLL that a program may import, with its arguments' size, so that
 * the stack stays whole; every one leaves "<path>.called" and fails. */
#define FAILS(name, result, ...)                          \
    __declspec(dllexport) int WINAPI name(__VA_ARGS__) { \
        Mark(L".called");                                 \
        return result;                                    \
    }
#if defined(PLANTED_VERSION)
FAILS(GetFileVersionInfoSizeW, 0, void* a, void* b)
FAILS(GetFileVersionInfoW, 0, void* a, unsigned long b, unsigned long c, void* d)
FAILS(VerQueryValueW, 0, void* a, void* b, void* c, void* d)
#elif defined(PLANTED_ODBC32)
FAILS(SQLAllocHandle, -1, int a, void* b, void* c)
FAILS(SQLFreeHandle, -1, int a, void* b)
FAILS(SQLGetDiagRecW, -1, int a, void* b, int c, void* d, void* e, void* f, int g, void* h)
FAILS(SQLSetEnvAttr, -1, void* a, int b, void* c, int d)
FAILS(SQLDriverConnectW, -1, void* a, void* b, void* c, int d, void* e, int f, void* g, int h)
FAILS(SQLDisconnect, -1, void* a)
FAILS(SQLExecDirectW, -1, void* a, void* b, int c)
FAILS(SQLNumResultCols, -1, void* a, void* b)
FAILS(SQLDescribeColW, -1, void* a, int b, void* c, int d, void* e, void* f, void* g, void* h,
      void* i)
FAILS(SQLFetch, -1, void* a)
FAILS(SQLGetData, -1, void* a, int b, int c, void* d, int e, void* f)
FAILS(SQLColumnsW, -1, void* a, void* b, int c, void* d, int e, void* f, int g, void* h, int i)
#endif
#endif
