// The framework layer against the real window manager and registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afx.h"
#include "tests/win/test_support.h"

namespace {

class RecordingWnd : public CWnd {
 public:
  explicit RecordingWnd(std::vector<std::string>* log) : log_(log) {}
  int OnCreate(LPCREATESTRUCTA cs) override {
    log_->push_back(std::string("create ") + cs->lpszName);
    return CWnd::OnCreate(cs);
  }
  void OnSize(UINT type, int cx, int cy) override {
    log_->push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    CWnd::OnSize(type, cx, cy);
  }
  void OnDestroy() override {
    log_->push_back("destroy");
    CWnd::OnDestroy();
  }
  void PostNcDestroy() override {
    log_->push_back("gone");
    delete this;
  }

 private:
  std::vector<std::string>* log_;
};

TEST(Wnd, CreationAndDestructionReachTheHandlersInOrder) {
  std::vector<std::string> log;
  auto* wnd = new RecordingWnd(&log);
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, "first", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr));
  HWND hwnd = wnd->m_hWnd;
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), wnd);
  ::DestroyWindow(hwnd);
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log.front(), "create first");
  EXPECT_EQ(log[1], "size 40x30");
  EXPECT_EQ(log[log.size() - 2], "destroy");
  EXPECT_EQ(log.back(), "gone");
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Wnd, RegisteredClassIsReusedForEqualAttributes) {
  const char* a = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
  const char* b = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
  const char* c = AfxRegisterWndClass(CS_HREDRAW);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_STRNE(a, c);
  WNDCLASSA wc;
  EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), a, &wc));
  EXPECT_EQ(wc.style, UINT(CS_HREDRAW | CS_VREDRAW));
}

TEST(Wnd, ChildCreateAddsTheChildStyle) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  CWnd child;
  RECT r = {1, 2, 11, 22};
  ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, r, &parent, 7));
  EXPECT_TRUE(child.GetStyle() & WS_CHILD);
  EXPECT_EQ(GetDlgCtrlID(child.m_hWnd), 7);
  RECT got;
  child.GetClientRect(&got);
  EXPECT_EQ(got.right, 10);
  EXPECT_EQ(got.bottom, 20);
}

class ColourListener : public CWnd {
 public:
  explicit ColourListener(int* heard) : heard_(heard) {}
  void OnSysColorChange() override {
    ++*heard_;
    CWnd::OnSysColorChange();
  }

 private:
  int* heard_;
};

// Windows tells only top-level windows of a colour change; the controls of a
// page depend on their top-level window to hear of it.
TEST(Wnd, TopLevelWindowPassesAColourChangeToEveryDescendantOnce) {
  int top = 0, child = 0, grandchild = 0, underPlain = 0;
  ColourListener parent(&top), c(&child), g(&grandchild), u(&underPlain);
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "top", WS_POPUP, 0, 0, 60, 60, nullptr, nullptr));
  RECT r = {0, 0, 20, 20};
  ASSERT_TRUE(c.Create(nullptr, "child", WS_VISIBLE, r, &parent, 1));
  ASSERT_TRUE(g.Create(nullptr, "grandchild", WS_VISIBLE, r, &c, 2));
  // A control of the system in between, with a window of ours inside it.
  HWND plain = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 30, 30, 20, 20, parent.m_hWnd,
                             nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  ASSERT_TRUE(u.CreateEx(0, nullptr, "under plain", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, plain,
                         reinterpret_cast<HMENU>(3)));

  SendMessageA(parent.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(top, 1);
  EXPECT_EQ(child, 1);
  EXPECT_EQ(grandchild, 1);
  EXPECT_EQ(underPlain, 1);
  // A child that is told does not tell its own children again.
  SendMessageA(c.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(child, 2);
  EXPECT_EQ(grandchild, 1);
}

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(900) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Check(dx, 901, check);
    DDX_Radio(dx, 902, radio);
    DDX_Text(dx, 904, text);
  }
  BOOL OnInitDialog() override {
    initialised = true;
    return CDialog::OnInitDialog();
  }
  int check = 1, radio = 1;
  std::string text = "hello";
  bool initialised = false;
};

TEST(Dialog, ModelessDialogExchangesDataBothWays) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.Create(900, static_cast<CWnd*>(nullptr)));
  EXPECT_TRUE(dlg.initialised);
  EXPECT_EQ(testing_support::WindowText(dlg.m_hWnd), "Framework test dialog");
  EXPECT_EQ(IsDlgButtonChecked(dlg.m_hWnd, 901), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg.m_hWnd, 902), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg.m_hWnd, 903), BST_CHECKED);
  CheckDlgButton(dlg.m_hWnd, 901, BST_UNCHECKED);
  CheckRadioButton(dlg.m_hWnd, 902, 903, 902);
  SetDlgItemTextA(dlg.m_hWnd, 904, "changed");
  dlg.UpdateData(TRUE);
  EXPECT_EQ(dlg.check, 0);
  EXPECT_EQ(dlg.radio, 0);
  EXPECT_EQ(dlg.text, "changed");
  CheckDlgButton(dlg.m_hWnd, 902, BST_UNCHECKED);
  dlg.UpdateData(TRUE);
  EXPECT_EQ(dlg.radio, -1);
  dlg.DestroyWindow();
}

// Presses OK from a timer once the modal loop runs.
void CALLBACK PressOk(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowA(nullptr, "Framework test dialog");
  if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(Dialog, ModalDialogEndsWithTheButtonPressed) {
  TestDialog dlg;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, PressOk);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

class ThreadRecorder {
 public:
  static UINT Proc(LPVOID p) {
    static_cast<ThreadRecorder*>(p)->ran = GetCurrentThreadId();
    return 7;
  }
  DWORD ran = 0;
};

TEST(Thread, SuspendedThreadRunsOnlyAfterResumeAndCanBeKept) {
  ThreadRecorder rec;
  CWinThread* t =
      AfxBeginThread(ThreadRecorder::Proc, &rec, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(t, nullptr);
  t->m_bAutoDelete = FALSE;
  Sleep(50);
  EXPECT_EQ(rec.ran, 0u);
  EXPECT_EQ(GetThreadPriority(t->m_hThread), THREAD_PRIORITY_BELOW_NORMAL);
  t->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(t->m_hThread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(rec.ran, t->m_nThreadID);
  DWORD code = 0;
  GetExitCodeThread(t->m_hThread, &code);
  EXPECT_EQ(code, 7u);
  delete t;
}

}  // namespace
