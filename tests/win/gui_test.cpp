// The thin framework layer: icon objects and the window-procedure scheme.
#include <gtest/gtest.h>

#include "gui/form.h"
#include "imaging/icon_win.h"

namespace {

TEST(IconObject, NullHandleIsValidButEmpty) {
  imaging::TIcon icon(nullptr);
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(0, icon.Width());
  EXPECT_EQ(0, icon.Height());
  HDC dc = GetDC(nullptr);
  icon.Draw(dc, 0, 0);  // draws nothing, and must not fail
  ReleaseDC(nullptr, dc);
}

TEST(IconObject, OwnsAndMeasuresItsHandle) {
  HICON copy = CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  ASSERT_NE(nullptr, copy);
  {
    imaging::TIcon icon = imaging::IconFromHandle(copy);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), icon.Width());
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), icon.Height());
  }
  ICONINFO info;
  EXPECT_FALSE(GetIconInfo(copy, &info)) << "the icon object did not destroy its handle";
}

class ProbeForm : public gui::TForm {
 public:
  int creates = 0;
  int destroys = 0;
  bool allow_close = true;

 protected:
  void FormCreate() override { ++creates; }
  bool FormCloseQuery() override { return allow_close; }
  void FormDestroy() override { ++destroys; }
};

TEST(Form, LifeCycleFollowsTheWindow) {
  ProbeForm form;
  ASSERT_TRUE(form.CreateForm(L"TamselProbeForm", L"Probe", 10, 20, 300, 200));
  EXPECT_EQ(1, form.creates);
  EXPECT_EQ(L"Probe", form.Caption());
  form.allow_close = false;
  form.Close();
  EXPECT_TRUE(IsWindow(form.Handle())) << "a refused close query must keep the window";
  form.allow_close = true;
  form.Close();
  EXPECT_EQ(nullptr, form.Handle());
  EXPECT_EQ(1, form.destroys);
}

TEST(Form, DestroyingTheObjectDestroysTheWindow) {
  HWND hwnd;
  {
    ProbeForm form;
    ASSERT_TRUE(form.CreateForm(L"TamselProbeForm", L"Probe", 10, 20, 300, 200));
    hwnd = form.Handle();
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Form, SizedAsMaximizedWhileHiddenItTakesTheRectangleOfAMaximizedWindow) {
  ProbeForm hidden, shown;
  ASSERT_TRUE(hidden.CreateForm(L"TamselProbeForm", L"Hidden", 10, 20, 300, 200));
  ASSERT_TRUE(shown.CreateForm(L"TamselProbeForm", L"Shown", 10, 20, 300, 200));
  hidden.SizeAsMaximized();
  EXPECT_FALSE(IsWindowVisible(hidden.Handle()));
  shown.Show(SW_SHOWMAXIMIZED);
  ASSERT_TRUE(IsZoomed(shown.Handle()));
  RECT a{}, b{}, ca{}, cb{};
  GetWindowRect(hidden.Handle(), &a);
  GetWindowRect(shown.Handle(), &b);
  GetClientRect(hidden.Handle(), &ca);
  GetClientRect(shown.Handle(), &cb);
  EXPECT_TRUE(EqualRect(&a, &b)) << a.left << "," << a.top << " " << a.right << "," << a.bottom << " against " << b.left
                                 << "," << b.top << " " << b.right << "," << b.bottom;
  EXPECT_TRUE(EqualRect(&ca, &cb)) << ca.right << "x" << ca.bottom << " against " << cb.right << "x" << cb.bottom;
  EXPECT_GT(ca.right, 300);
}

}  // namespace
