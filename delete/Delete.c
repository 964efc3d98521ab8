/* Delete.dll: MagicDel removes a file after a pause, then this library's own file, and ends the
 * process that called it (normally rundll32). kernel32 only, no C run-time, no start-up code. */
#include <windows.h>

static HMODULE g_hModule;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        g_hModule = instance;
    return TRUE;
}

#if defined(__x86_64__)
/* x64 passes arguments in registers, which a bare return cannot load, so the chain runs from a
 * small stub in memory of its own: it calls FreeLibrary, DeleteFileA and ExitProcess in turn and
 * keeps the path beside itself. Nothing of the unloaded image is touched after FreeLibrary. */
static void PutPointer(unsigned char* at, const void* value)
{
    ULONG_PTR v = (ULONG_PTR)value;
    int i;
    for (i = 0; i < 8; ++i)
        at[i] = (unsigned char)(v >> (8 * i));
}

static void RunUnloadChain(const char* path)
{
    static const unsigned char code[] = {
        0x48, 0x83, 0xEC, 0x28,                   /* sub rsp, 40 (shadow space, alignment) */
        0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,       /* mov rcx, module                       */
        0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,       /* mov rax, FreeLibrary                  */
        0xFF, 0xD0,                               /* call rax                              */
        0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,       /* mov rcx, path                         */
        0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,       /* mov rax, DeleteFileA                  */
        0xFF, 0xD0,                               /* call rax                              */
        0x31, 0xC9,                               /* xor ecx, ecx                          */
        0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,       /* mov rax, ExitProcess                  */
        0xFF, 0xD0,                               /* call rax                              */
    };
    unsigned char* stub = (unsigned char*)VirtualAlloc(NULL, 4096, MEM_COMMIT | MEM_RESERVE,
                                                       PAGE_EXECUTE_READWRITE);
    unsigned i;
    if (!stub)
        ExitProcess(0);
    for (i = 0; i < sizeof code; ++i)
        stub[i] = code[i];
    for (i = 0; i < MAX_PATH && path[i]; ++i)
        stub[256 + i] = (unsigned char)path[i];
    stub[256 + i] = 0;
    PutPointer(stub + 6, g_hModule);
    PutPointer(stub + 16, (const void*)&FreeLibrary);
    PutPointer(stub + 28, stub + 256);
    PutPointer(stub + 38, (const void*)&DeleteFileA);
    PutPointer(stub + 52, (const void*)&ExitProcess);
    ((void (*)(void))stub)();
}
#endif

/* rundll32's calling form: window, instance, command line, show command. Never returns. */
void WINAPI MagicDel(HWND window, HINSTANCE instance, LPSTR commandLine, int show)
{
    /* The chain is consumed upwards from chain[0]; the path sits above it, so neither of the
     * kernel32 calls it runs overwrites the path with its own stack. */
    struct {
        void* chain[6];
        char path[MAX_PATH];
    } frame;
    DWORD length;
    (void)window;
    (void)instance;
    (void)show;

    Sleep(2000);
    /* Taken as given: no quotes are removed and no blanks trimmed. */
    DeleteFileA(commandLine);

    length = GetModuleFileNameA(g_hModule, frame.path, MAX_PATH);
    /* A path cut to the buffer could name another file: then this file stays. */
    if (length == 0 || length >= MAX_PATH)
        ExitProcess(0);

#if defined(__i386__)
    /* FreeLibrary returns into DeleteFileA, which returns into ExitProcess: each stdcall callee
     * pops its return address and its one argument, uncovering the next pair. The addresses come
     * from the import table (dllimport), so no thunk of this image is ever jumped to. */
    frame.chain[0] = (void*)&DeleteFileA;
    frame.chain[1] = (void*)g_hModule;
    frame.chain[2] = (void*)&ExitProcess;
    frame.chain[3] = frame.path;
    frame.chain[4] = 0;
    frame.chain[5] = 0;
    __asm__ volatile("movl %0, %%esp\n\t"
                     "jmp *%1"
                     :
                     : "r"(frame.chain), "r"(&FreeLibrary)
                     : "memory");
    __builtin_unreachable();
#elif defined(__x86_64__)
    RunUnloadChain(frame.path);
    ExitProcess(0);
#else
#error "Delete.dll supports i386 and x86_64"
#endif
}
