// Window messages run while the directory reader walks, so a stop request that arrives as a
// message ends the walk at the next entry.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "scan/XolDirectoryReader.h"
#include "support/Fixture.h"

namespace dustmere {
namespace {

constexpr UINT WM_STOP_READING = WM_APP + 1;
TDirReader* ReaderToStop = nullptr;
int MessagesHandled = 0;

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_STOP_READING) {
    ++MessagesHandled;
    if (ReaderToStop) ReaderToStop->Stop();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class MessagesTest : public testing::Test {
protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DustmereMessagesTest";
    RegisterClassW(&wc);
    Window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(Window, nullptr);
    MessagesHandled = 0;
  }
  void TearDown() override {
    ReaderToStop = nullptr;
    DestroyWindow(Window);
  }
  HWND Window = nullptr;
};

TEST_F(MessagesTest, ProcessMessagesDispatchesWhatIsPending) {
  PostMessageW(Window, WM_STOP_READING, 0, 0);
  PostMessageW(Window, WM_STOP_READING, 0, 0);
  platform::ProcessMessages();
  EXPECT_EQ(MessagesHandled, 2);
}

TEST_F(MessagesTest, AStopMessageEndsAWalkEarly) {
  test::TFixtureTree tree;
  for (int folder = 0; folder < 20; ++folder)
    for (int file = 0; file < 20; ++file)
      tree.File(L"d" + std::to_wstring(folder) + L"\\f" + std::to_wstring(file));

  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  reader.SetDirectory(tree.Root());
  int files = 0;
  reader.OnFileFound = [&](TDirReader&, const std::wstring&) {
    // The stop request arrives in the middle of the walk, as a click would.
    if (++files == 50) {
      PostMessageW(Window, WM_STOP_READING, 0, 0);
      Sleep(2);  // past the pace of the frequent message checks
    }
  };
  ReaderToStop = &reader;
  reader.Start();
  EXPECT_EQ(MessagesHandled, 1);
  EXPECT_GE(files, 50);
  EXPECT_LT(files, 400);
  EXPECT_FALSE(reader.Active());
}

}  // namespace
}  // namespace dustmere
