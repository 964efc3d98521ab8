// Small owners of what Windows hands out: each releases its object when it goes, so no path can
// forget it.
#pragma once
#include <windows.h>

#include <objbase.h>

namespace wingui {

// A GDI object (font, bitmap, brush) that deletes itself.
template <class T>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T object) : m_hObject(object) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(CGdiObject&& o) noexcept : m_hObject(o.m_hObject) { o.m_hObject = nullptr; }
    CGdiObject& operator=(CGdiObject&& o) noexcept
    {
        if (this != &o) {
            Reset(o.m_hObject);
            o.m_hObject = nullptr;
        }
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    void Reset(T object = nullptr)
    {
        if (m_hObject)
            ::DeleteObject(m_hObject);
        m_hObject = object;
    }
    T Get() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }

private:
    T m_hObject = nullptr;
};
using CFont = CGdiObject<HFONT>;
using CBitmap = CGdiObject<HBITMAP>;

// A kernel handle (a process, a thread, a snapshot) that closes itself.
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

    void Reset(HANDLE handle = nullptr)
    {
        if (m_hHandle)
            ::CloseHandle(m_hHandle);
        m_hHandle = handle;
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

// COM on this thread for as long as the object lives (the shell's folder browser and shortcut
// objects need it).
class CComApartment {
public:
    CComApartment() : m_hResult(::CoInitialize(nullptr)) {}
    ~CComApartment()
    {
        if (SUCCEEDED(m_hResult))
            ::CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    HRESULT m_hResult;
};

// A copy of the control's font (the default GUI font when it has none) with another character
// height (0 keeps it), weight (0 keeps it) and, when asked, underlined; empty when it cannot be
// made.
CFont DerivedFont(HWND control, int height, int weight, bool underline = false);

}  // namespace wingui
