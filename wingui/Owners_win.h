// Small owners of what Windows hands out: each releases its object when it goes, so no path can
// forget it.
#pragma once
#include <windows.h>

#include <commctrl.h>
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
using CBrush = CGdiObject<HBRUSH>;

// The other user objects the programs make: each kind with its own release, one owner shape.
template <class T, BOOL(WINAPI* Release)(T)>
class COwned {
public:
    COwned() = default;
    explicit COwned(T object) : m_hObject(object) {}
    ~COwned() { Reset(); }
    COwned(COwned&& o) noexcept : m_hObject(o.m_hObject) { o.m_hObject = nullptr; }
    COwned& operator=(COwned&& o) noexcept
    {
        if (this != &o) {
            Reset(o.m_hObject);
            o.m_hObject = nullptr;
        }
        return *this;
    }
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;

    void Reset(T object = nullptr)
    {
        if (m_hObject)
            Release(m_hObject);
        m_hObject = object;
    }
    T Get() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }

private:
    T m_hObject = nullptr;
};
using CMenu = COwned<HMENU, ::DestroyMenu>;
using CIcon = COwned<HICON, ::DestroyIcon>;
using CImageList = COwned<HIMAGELIST, ::ImageList_Destroy>;

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
