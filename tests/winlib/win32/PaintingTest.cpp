// The painting and hand-over seams of the window library on real GDI objects and windows: the
// canvas's DIB section, selections undone at scope exit, a picture and a text on the clipboard,
// drop-down lists and their keys, and a worker's mailbox.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Clipboard.h"
#include "CommonControls.h"
#include "GdiObjects.h"
#include "Menu.h"
#include "PixelBuffer.h"
#include "Window.h"
#include "WorkerMailbox.h"

namespace {

constexpr Colour kRed = 0xFF0000;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0x0000FF;

COLORREF AsColorRef(Colour colour) {
    return RGB(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}

TEST(CanvasTest, ShowsAPictureTopDownAndSeesWhatGdiDrawsOverIt) {
    Canvas canvas;
    ASSERT_EQ(canvas.Resize(4, 3), 0u);
    PixelBuffer picture(4, 3, kWhite);
    picture.Set(0, 0, kRed);
    picture.Set(3, 2, kBlue);
    canvas.Show(picture);
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), AsColorRef(kRed));
    EXPECT_EQ(GetPixel(canvas.Dc(), 3, 2), AsColorRef(kBlue));
    EXPECT_EQ(GetPixel(canvas.Dc(), 1, 1), AsColorRef(kWhite));
    // GDI's own drawing lands in the same bits the copy reads.
    SetPixel(canvas.Dc(), 2, 1, AsColorRef(kGreen));
    EXPECT_EQ(canvas.Pixels()[1 * 4 + 2], kGreen);
    // A new size makes a new buffer; a picture of another size is not shown in it.
    ASSERT_EQ(canvas.Resize(5, 5), 0u);
    canvas.Show(picture);
    EXPECT_EQ(canvas.Width(), 5);
    ASSERT_EQ(canvas.Resize(0, 5), 0u);
    EXPECT_TRUE(canvas.Empty());
    EXPECT_EQ(canvas.Dc(), nullptr);
}

TEST(SelectedObjectTest, PutsTheReplacedObjectBack) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc.Get(), 2, 2));
    {
        SelectedObject selected(dc.Get(), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
        SelectedObject moved(std::move(selected));
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
}

TEST(ClipboardTest, APictureGoesBottomUpBesideItsText) {
    std::vector<Colour> pixels = {kRed, kGreen, kBlue, kWhite};  // two rows of two
    const ClipboardPicture picture{pixels.data(), 2, 2};
    const std::wstring text = L"a\tb\r\n";
    ASSERT_EQ(PutPictureAndTextOnClipboard(nullptr, picture, text.size() + 1,
                                           [&](wchar_t* out, size_t) {
                                               std::wcscpy(out, text.c_str());
                                               return text.size();
                                           }),
              0u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(header->biWidth, 2);
    EXPECT_EQ(header->biHeight, 2);  // bottom-up
    EXPECT_EQ(header->biBitCount, 32);
    const auto* rows = reinterpret_cast<const Colour*>(header + 1);
    EXPECT_EQ(rows[0], kBlue);  // the picture's lower row comes first
    EXPECT_EQ(rows[3], kGreen);
    GlobalUnlock(dib);
    HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(unicode, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(unicode))), text);
    GlobalUnlock(unicode);
    CloseClipboard();
}

struct KeyRecorder final : Window {
    std::vector<WPARAM> keys;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYDOWN) {
            keys.push_back(wParam);
            return 1;
        }
        return Window::HandleMessage(window, message, wParam, lParam);
    }
};

TEST(ComboBoxTest, ChoicesCarryTheirDataAndEscapeReachesTheParent) {
    KeyRecorder parent;
    ASSERT_EQ(parent.Create(nullptr, L"KetterlinComboTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    CommonControls::ComboBox list;
    ASSERT_EQ(list.Create(&parent), 0u);
    EXPECT_EQ(list.AddItem(L"Count", -1), 0);
    EXPECT_EQ(list.AddItem(L"FSC-A", 0), 1);
    EXPECT_EQ(list.AddItem(L"SSC-A", 1), 2);
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_TRUE(list.SelectData(1));
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_FALSE(list.SelectData(7));
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_EQ(list.ItemData(0), -1);
    // Esc with the list closed is the parent's, as is Ctrl+C; other keys stay with the list.
    SendMessageW(list.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(list.hwnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(parent.keys, std::vector<WPARAM>{VK_ESCAPE});
    EXPECT_EQ(list.Selected(), 2);  // already the last item
    DestroyWindow(parent.hwnd);
}

TEST(PopupMenuTest, ItemsAreAppendedToAMenuItOwns) {
    PopupMenu menu;
    ASSERT_TRUE(menu.Valid());
    EXPECT_EQ(menu.AppendItem(40010, L"Plot FSC-A"), 0u);
}

struct MailboxOwner final : Window {
    int notices = 0;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            ++notices;
            return 1;
        }
        return Window::HandleMessage(window, message, wParam, lParam);
    }
};

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

TEST(WorkerMailboxTest, OneNoticeAtATimeAndTheNewestResultWins) {
    MailboxOwner owner;
    ASSERT_EQ(owner.Create(nullptr, L"KetterlinMailboxTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    WorkerMailbox<int> mailbox;
    mailbox.Address(owner.hwnd, WM_APP);
    // From another thread, as a worker hands its results.
    struct Hand {
        WorkerMailbox<int>* box;
        static DWORD WINAPI Run(void* self) {
            auto* hand = static_cast<Hand*>(self);
            hand->box->Hand(1);
            hand->box->Hand(2);
            return 0;
        }
    } hand{&mailbox};
    HANDLE worker = CreateThread(nullptr, 0, Hand::Run, &hand, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    DrainMessages();
    EXPECT_EQ(owner.notices, 1);
    EXPECT_EQ(mailbox.Take(), 2);
    EXPECT_EQ(mailbox.Take(), std::nullopt);
    // Taken: the next result posts again.
    mailbox.Hand(3);
    DrainMessages();
    EXPECT_EQ(owner.notices, 2);
    mailbox.Clear();
    EXPECT_EQ(mailbox.Take(), std::nullopt);
    DestroyWindow(owner.hwnd);
}

}  // namespace
