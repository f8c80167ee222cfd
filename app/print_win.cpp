// The print options window is a template built in memory whose controls are
// placed in pixels (the window's client area is 297 x 200). Its push buttons
// are the program's own, made when the dialog starts; their clicks reach
// Choose, as do Enter, Escape and the close box through the dialog manager.
//
// A print job is one page: the picture is drawn first, then the default
// printer is opened, so that a missing printer is reported before anything
// reaches the spooler, and the job is aborted rather than left open when a
// step fails.
#include "app/print_win.h"

#include <winspool.h>

#include <string>
#include <vector>

#include "app/help_win.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "gui/application.h"
#include "gui/dialog_template.h"
#include "gui/error.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/late_bound_win.h"

namespace app {

namespace {

constexpr int kClientWidth = 297;
constexpr int kClientHeight = 200;

struct Place {
  int id;
  int x, y, width, height;
};
// Where every control of the template stands, in pixels.
const Place kPlaces[] = {
    {kPrintImageLabelId, 8, 8, 281, 16}, {kPrintFullId, 24, 28, 265, 20},       {kPrintSelId, 24, 50, 265, 20},
    {kPrintPanelId, 8, 78, 281, 74},     {kPrintScaleLabelId, 16, 86, 265, 16}, {kPrintRealId, 24, 104, 257, 20},
    {kPrintFitId, 24, 126, 257, 20},
};
constexpr int kButtonTop = 163;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 7;

// Ends the print job on every path: EndDoc once it is complete, AbortDoc
// when a step failed or an error left the scope.
class PrintJob {
 public:
  PrintJob(HDC printer, const std::wstring& name) : printer_(printer) {
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    started_ = StartDocW(printer_, &info) > 0;
  }
  ~PrintJob() {
    if (started_) AbortDoc(printer_);
  }
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  bool Started() const { return started_; }
  bool End() {
    started_ = false;
    return EndDoc(printer_) > 0;
  }

 private:
  HDC printer_;
  bool started_ = false;
};

}  // namespace

std::optional<TPrintChoice> TPrintFrm::Execute(HWND owner) {
  // Sizes in dialog units do not matter: OnInitDialog places everything in pixels.
  gui::DialogTemplate t(DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 130, Lang(sPrintingIcons));
  using gui::DialogTemplate;
  t.Item(SS_LEFT, 0, 0, 0, 0, kPrintImageLabelId, DialogTemplate::kStatic, Lang(sImageToPrint));
  t.Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 0, 0, 0, kPrintFullId, DialogTemplate::kButton,
         Lang(sFullImage));
  t.Item(BS_AUTORADIOBUTTON, 0, 0, 0, 0, kPrintSelId, DialogTemplate::kButton, Lang(sSelectedImage));
  // The frame around the scale choice also starts the second radio group.
  t.Item(SS_ETCHEDFRAME | WS_GROUP, 0, 0, 0, 0, kPrintPanelId, DialogTemplate::kStatic, L"");
  t.Item(SS_LEFT, 0, 0, 0, 0, kPrintScaleLabelId, DialogTemplate::kStatic, Lang(sScale));
  t.Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 0, 0, 0, kPrintRealId, DialogTemplate::kButton,
         Lang(sRealSize));
  t.Item(BS_AUTORADIOBUTTON, 0, 0, 0, 0, kPrintFitId, DialogTemplate::kButton, Lang(sFitToPage));
  if (ShowModal(owner, t.get()) != IDOK) return std::nullopt;
  return choice_;
}

bool TPrintFrm::OnInitDialog() {
  HWND dialog = Handle();
  for (const Place& p : kPlaces)
    SetWindowPos(GetDlgItem(dialog, p.id), nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER);
  CheckDlgButton(dialog, kPrintFullId, BST_CHECKED);
  CheckDlgButton(dialog, kPrintRealId, BST_CHECKED);
  EnableWindow(GetDlgItem(dialog, kPrintSelId), has_selection_);

  struct Button {
    controls::TZuButton* button;
    int id;
    std::wstring caption;
  } buttons[] = {
      {&ok_btn_, kPrintOkId, L"OK"},
      {&cancel_btn_, kPrintCancelId, Lang(sCancel)},
      {&help_btn_, kPrintHelpId, Lang(sHelp)},
  };
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  int x = (kClientWidth - 3 * kButtonWidth - 2 * kButtonGap) / 2;
  for (Button& b : buttons) {
    b.button->Create(dialog, b.id, x, kButtonTop, kButtonWidth, kButtonHeight, b.caption);
    b.button->SetFont(font);
    const int id = b.id;
    b.button->OnClick = [this, id](controls::TZuButton&) { Choose(id); };
    x += kButtonWidth + kButtonGap;
  }
  // The push buttons close the scale group, so that the arrow keys stay in it.
  SetWindowLongW(ok_btn_.Handle(), GWL_STYLE, GetWindowLongW(ok_btn_.Handle(), GWL_STYLE) | WS_GROUP);
  ok_btn_.SetDefault(true);
  gui::CenterDialog(dialog, kClientWidth, kClientHeight);
  return true;
}

bool TPrintFrm::OnCommand(int id, int /*code*/, HWND /*control*/) {
  if (id != kPrintOkId && id != kPrintCancelId && id != kPrintHelpId) return false;
  Choose(id);
  return true;
}

void TPrintFrm::Choose(int id) {
  switch (id) {
    case kPrintOkId:
      choice_.whole = IsDlgButtonChecked(Handle(), kPrintFullId) == BST_CHECKED;
      choice_.mode = IsDlgButtonChecked(Handle(), kPrintRealId) == BST_CHECKED ? 0 : 1;
      End(IDOK);
      break;
    case kPrintCancelId: End(IDCANCEL); break;
    case kPrintHelpId: ShowHelp("print"); break;
    default: break;
  }
}

util::UniquePrinterDc DefaultPrinterDc() {
  DWORD size = 0;
  util::late::GetDefaultPrinterW(nullptr, &size);
  std::vector<wchar_t> name(size + 1, L'\0');
  if (size == 0 || !util::late::GetDefaultPrinterW(name.data(), &size)) throw gui::Error(Lang(sNoDefaultPrinter));
  util::UniquePrinterDc dc(CreateDCW(L"WINSPOOL", name.data(), nullptr, nullptr));
  if (!dc) throw gui::Error(Lang(sNoDefaultPrinter));
  return dc;
}

void PrintPicture(const imaging::TBitmap& bitmap, int mode) {
  if (bitmap.Empty()) throw gui::Error(Lang(sPrintFailed));
  util::UniquePrinterDc printer = DefaultPrinterDc();
  PrintJob job(printer.get(), gui::Application().Title());
  const bool printed = job.Started() && StartPage(printer.get()) > 0 &&
                       imaging::PrintBitmap(bitmap, printer.get(), mode) && EndPage(printer.get()) > 0;
  if (!printed || !job.End()) throw gui::Error(Lang(sPrintFailed));
}

void PrintImage(const TPrintSource& source, bool whole, int mode) {
  imaging::TBitmap bitmap;
  if (whole || !source.selected_icon) {
    if (source.draw_grid) source.draw_grid(bitmap);
  } else if (bitmap.SetSize(32, 32, imaging::PixelFormat::pfDevice)) {
    source.selected_icon->Draw(bitmap.Canvas(), 0, 0);
  }
  PrintPicture(bitmap, mode);
}

void PrintCommand(HWND owner, const TPrintSource& source) {
  std::optional<TPrintChoice> choice;
  {
    TPrintFrm form(source.selected_icon != nullptr);
    choice = form.Execute(owner);
  }
  if (choice) PrintImage(source, choice->whole, choice->mode);
}

}  // namespace app
