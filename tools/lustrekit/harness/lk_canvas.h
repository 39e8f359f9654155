// Test support for Lustrekit's DLL tests: a 32-bit memory canvas whose pixels can be read back and saved as a BMP
// file, and a guard that sets system colours for one test and puts the old ones back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The header of a top-down 32-bit uncompressed DIB of width x height pixels (0x00RRGGBB per pixel).
inline BITMAPINFO TopDown32Info(int width, int height) {
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A memory DC with a top-down 32-bit DIB section selected; pixels read straight from the bits.
class TestCanvas {
public:
    TestCanvas(int width, int height, COLORREF background) : width_(width), height_(height) {
        BITMAPINFO info = TopDown32Info(width, height);
        hdc_ = CreateCompatibleDC(NULL);
        void *bits = NULL;
        bitmap_ = CreateDIBSection(hdc_, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        bits_ = static_cast<uint32_t *>(bits);
        old_ = SelectObject(hdc_, bitmap_);
        if (Valid()) {
            Fill(background);
        }
    }
    ~TestCanvas() {
        SelectObject(hdc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(hdc_);
    }
    TestCanvas(const TestCanvas &) = delete;
    TestCanvas &operator=(const TestCanvas &) = delete;

    HDC Dc() const { return hdc_; }
    bool Valid() const { return hdc_ != NULL && bits_ != NULL; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The colour at (x, y) as a COLORREF (the section stores 0x00RRGGBB).
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void Fill(COLORREF colour) {
        GdiFlush();
        uint32_t v = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        for (int i = 0; i < width_ * height_; ++i) {
            bits_[i] = v;
        }
    }
    void Set(int x, int y, COLORREF colour) {
        GdiFlush();
        bits_[static_cast<size_t>(y) * width_ + x] =
            (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }

private:
    int width_;
    int height_;
    HDC hdc_ = NULL;
    HBITMAP bitmap_ = NULL;
    HGDIOBJ old_ = NULL;
    uint32_t *bits_ = NULL;
};

// Writes the canvas as a bottom-up 24-bit BMP, through a temporary file so a failed write loses nothing.
inline bool SaveCanvasBmp(const TestCanvas &canvas, const std::string &path) {
    const int width = canvas.Width(), height = canvas.Height();
    const int stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER header;
    std::memset(&file, 0, sizeof(file));
    std::memset(&header, 0, sizeof(header));
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + stride * height;
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = stride * height;
    std::string temp = path + ".tmp";
    HANDLE hFile = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool bOk = WriteFile(hFile, &file, sizeof(file), &written, NULL) && written == sizeof(file) &&
               WriteFile(hFile, &header, sizeof(header), &written, NULL) && written == sizeof(header);
    std::string row(stride, '\0');
    for (int line = height - 1; bOk && line >= 0; --line) {
        for (int x = 0; x < width; ++x) {
            COLORREF colour = canvas.At(x, line);
            row[x * 3 + 0] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        bOk = WriteFile(hFile, row.data(), stride, &written, NULL) && written == static_cast<DWORD>(stride);
    }
    CloseHandle(hFile);
    if (!bOk || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

// Sets some system colours for the life of the guard (Wine lets SetSysColors work) and restores them.
class SysColorGuard {
public:
    SysColorGuard(std::vector<int> elements, std::vector<COLORREF> colours) : elements_(elements) {
        for (int e : elements_) {
            saved_.push_back(GetSysColor(e));
        }
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data());
    }
    ~SysColorGuard() { SetSysColors(static_cast<int>(elements_.size()), elements_.data(), saved_.data()); }
    SysColorGuard(const SysColorGuard &) = delete;
    SysColorGuard &operator=(const SysColorGuard &) = delete;

private:
    std::vector<int> elements_;
    std::vector<COLORREF> saved_;
};

// The pixels of a bitmap as COLORREFs, top line first, through GetDIBits into a 32-bit DIB.
inline std::vector<COLORREF> ReadBitmap(HBITMAP bitmap, int *width, int *height) {
    BITMAP bm;
    std::vector<COLORREF> out;
    if (GetObjectA(bitmap, sizeof(bm), &bm) == 0) {
        return out;
    }
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    BITMAPINFO info = TopDown32Info(bm.bmWidth, bm.bmHeight);
    std::vector<uint32_t> raw(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC hdc = GetDC(NULL);
    int lines = GetDIBits(hdc, bitmap, 0, bm.bmHeight, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, hdc);
    if (lines != bm.bmHeight) {
        return out;
    }
    for (uint32_t v : raw) {
        out.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    return out;
}
