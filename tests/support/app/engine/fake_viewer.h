// Test stand-in for the debug viewer: a top-level "DbgWinClass" window with an edit child, made by the test.
#pragma once

#include <windows.h>

#include <string>

class FakeViewer {
public:
    FakeViewer() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
        m_hWnd = CreateWindowA(kClassName, "test viewer", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                               wc.hInstance, nullptr);
        if (m_hWnd != nullptr) {
            m_hEdit = CreateWindowA("Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 300, 200,
                                    m_hWnd, nullptr, wc.hInstance, nullptr);
        }
    }
    ~FakeViewer() {
        if (m_hWnd != nullptr) {
            DestroyWindow(m_hWnd);
        }
        UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    }
    FakeViewer(const FakeViewer &) = delete;
    FakeViewer &operator=(const FakeViewer &) = delete;

    // The whole text of the edit control.
    std::string Text() const {
        int nLength = GetWindowTextLengthA(m_hEdit);
        std::string text(static_cast<size_t>(nLength) + 1, '\0');
        GetWindowTextA(m_hEdit, &text[0], nLength + 1);
        text.resize(static_cast<size_t>(nLength));
        return text;
    }

    static constexpr const char *kClassName = "DbgWinClass";
    HWND m_hWnd = nullptr;
    HWND m_hEdit = nullptr;
};
