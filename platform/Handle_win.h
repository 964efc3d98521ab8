// Owners of what the kernel hands out: each releases its object when it goes, so no path can
// forget it.
#pragma once
#include <windows.h>

namespace platform {

// A kernel handle (a process, a thread, a file, an event, a snapshot) that closes itself.
class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE handle) : m_hHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~CHandle() { Reset(); }
    CHandle(CHandle&& o) noexcept : m_hHandle(o.Release()) {}
    CHandle& operator=(CHandle&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    // INVALID_HANDLE_VALUE, the failure of CreateFile and its kind, holds nothing.
    void Reset(HANDLE handle = nullptr)
    {
        if (m_hHandle)
            ::CloseHandle(m_hHandle);
        m_hHandle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    HANDLE Release()
    {
        HANDLE h = m_hHandle;
        m_hHandle = nullptr;
        return h;
    }
    HANDLE Get() const { return m_hHandle; }
    explicit operator bool() const { return m_hHandle != nullptr; }

private:
    HANDLE m_hHandle = nullptr;
};

// A loaded library that is freed when it goes.
class CModule {
public:
    CModule() = default;
    explicit CModule(HMODULE module) : m_hModule(module) {}
    ~CModule() { Reset(); }
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;

    void Reset(HMODULE module = nullptr)
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
        m_hModule = module;
    }
    HMODULE Get() const { return m_hModule; }
    explicit operator bool() const { return m_hModule != nullptr; }
    // The address of an export, cast to the function type the caller names; null when missing.
    template <class F>
    F Proc(const char* name) const
    {
        return m_hModule ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name))) : nullptr;
    }

private:
    HMODULE m_hModule = nullptr;
};

}  // namespace platform
