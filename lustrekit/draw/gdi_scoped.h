// Scoped GDI handles: a drawing's brushes, pens, fonts, bitmaps and memory DCs are deleted, and what it selected
// into a DC is put back, when the scope ends, on every path.
#pragma once

#include <windows.h>

namespace lk {

// Owns one GDI object (brush, pen, font, bitmap, region) and deletes it at the end of its scope. Declare it
// before the ScopedSelect that selects it, so that the old object is back in the DC before this one goes.
template <class Handle> class GdiObject {
public:
    explicit GdiObject(Handle h = NULL) : m_h(h) {}
    ~GdiObject() { Delete(); }
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;

    Handle get() const { return m_h; }
    operator Handle() const { return m_h; }
    // Deletes the object now; the result of DeleteObject (TRUE when there was nothing to delete).
    BOOL Delete() {
        BOOL bDeleted = m_h == NULL || DeleteObject(m_h);
        m_h = NULL;
        return bDeleted;
    }
    // Hands the object over to the caller, who deletes it.
    Handle Release() {
        Handle h = m_h;
        m_h = NULL;
        return h;
    }

private:
    Handle m_h;
};

using ScopedBrush = GdiObject<HBRUSH>;
using ScopedPen = GdiObject<HPEN>;
using ScopedFont = GdiObject<HFONT>;
using ScopedBitmap = GdiObject<HBITMAP>;

// A memory DC compatible with another, deleted at the end of its scope.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC hdcLike) : m_hdc(CreateCompatibleDC(hdcLike)) {}
    ~ScopedMemoryDC() { Delete(); }
    ScopedMemoryDC(const ScopedMemoryDC &) = delete;
    ScopedMemoryDC &operator=(const ScopedMemoryDC &) = delete;

    HDC get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }
    // Deletes the DC now; the result of DeleteDC (TRUE when there was none).
    BOOL Delete() {
        BOOL bDeleted = m_hdc == NULL || DeleteDC(m_hdc);
        m_hdc = NULL;
        return bDeleted;
    }

private:
    HDC m_hdc;
};

// Selects an object into a DC for a scope and selects the previous one back at its end; a null object selects
// nothing.
class ScopedSelect {
public:
    ScopedSelect(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hOld(hObject != NULL ? SelectObject(hdc, hObject) : NULL) {}
    ~ScopedSelect() { Restore(); }
    ScopedSelect(const ScopedSelect &) = delete;
    ScopedSelect &operator=(const ScopedSelect &) = delete;

    // Selects another object in the same scope; the first one's predecessor still comes back at the end.
    void Select(HGDIOBJ hObject) { SelectObject(m_hdc, hObject); }
    // Puts the previous object back now.
    void Restore() {
        if (m_hOld != NULL)
            SelectObject(m_hdc, m_hOld);
        m_hOld = NULL;
    }

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};

// The two bitmaps GetIconInfo hands out with an icon's parts, deleted at the end of the scope.
class ScopedIconInfo {
public:
    explicit ScopedIconInfo(HICON hIcon) : m_info(), m_bValid(hIcon != NULL && GetIconInfo(hIcon, &m_info)) {}
    ~ScopedIconInfo() {
        if (m_info.hbmMask != NULL)
            DeleteObject(m_info.hbmMask);
        if (m_info.hbmColor != NULL)
            DeleteObject(m_info.hbmColor);
    }
    ScopedIconInfo(const ScopedIconInfo &) = delete;
    ScopedIconInfo &operator=(const ScopedIconInfo &) = delete;

    // Whether the handle was an icon whose parts could be read.
    bool valid() const { return m_bValid; }
    const ICONINFO &info() const { return m_info; }

private:
    ICONINFO m_info;
    bool m_bValid;
};

// A solid colour filled into, or framed round, a rectangle (a brush made and deleted for the one call).
inline void FillColor(HDC hdc, const RECT &rc, COLORREF colour) {
    ScopedBrush brush(CreateSolidBrush(colour));
    FillRect(hdc, &rc, brush);
}
inline void FrameColor(HDC hdc, const RECT &rc, COLORREF colour) {
    ScopedBrush brush(CreateSolidBrush(colour));
    FrameRect(hdc, &rc, brush);
}

} // namespace lk
