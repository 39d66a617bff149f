// The system clipboard is emptied of every format, also when another holder lets go late.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <thread>

#include "platform/Clipboard.h"

namespace {

// Puts text and a private format on the clipboard, as another program would.
bool PutOnClipboard(const char* text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t size = std::strlen(text) + 1;
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(data), text, size);
    GlobalUnlock(data);
    bool ok = SetClipboardData(CF_TEXT, data) != nullptr;
    HGLOBAL extra = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(extra), "abc", 4);
    GlobalUnlock(extra);
    ok = SetClipboardData(RegisterClipboardFormatA("Brightwipe Test Format"), extra) != nullptr && ok;
    CloseClipboard();
    return ok;
}

TEST(Clipboard, ClearEmptiesEveryFormat) {
    ASSERT_TRUE(PutOnClipboard("secret text"));
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

    EXPECT_TRUE(bw::platform::ClearClipboard());

    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST(Clipboard, ClearOfAnEmptyClipboardSucceeds) {
    ASSERT_TRUE(bw::platform::ClearClipboard());
    EXPECT_TRUE(bw::platform::ClearClipboard());
    EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST(Clipboard, ClearWaitsForAHolderThatLetsGoSoon) {
    ASSERT_TRUE(PutOnClipboard("held"));
    // A window of another thread holds the clipboard open for a moment.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND owner = CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        BOOL open = OpenClipboard(owner);
        SetEvent(opened);
        Sleep(150);
        if (open) CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, 5000);
    bool heldByOther = !OpenClipboard(nullptr);
    if (!heldByOther) CloseClipboard();

    bool cleared = bw::platform::ClearClipboard();
    holder.join();
    CloseHandle(opened);
    if (!heldByOther) GTEST_SKIP() << "Wine let a second thread open the clipboard while it was held";
    EXPECT_TRUE(cleared);
    EXPECT_EQ(CountClipboardFormats(), 0);
}

}  // namespace
