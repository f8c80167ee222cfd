// The control kit on show: one window per control kind, each instance put
// into one of its states, or one of the dialogs, for the screenshots script
// (scripts/screenshots.sh). Usage: tamsel_gallery <page>, page one of
// buttons, buttons-classic, popup, push, labels, splitters, list, save,
// dir, print, about, options-html, options-dbase.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/about_win.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/print_win.h"
#include "app/save_form_win.h"
#include "controls/zu_button_win.h"
#include "controls/zu_ctrl_win.h"
#include "controls/zu_dialog_win.h"
#include "controls/zu_list_box_win.h"
#include "gui/application.h"
#include "gui/form.h"
#include "gui/panel.h"
#include "imaging/xp_theme_win.h"

namespace {

using controls::TzuPopupButton;
using controls::TzuSoftButton;

// A glyph strip of n frames, each a coloured disc on a magenta background
// (the bottom-left pixel, so transparent), a different colour per frame.
HBITMAP MakeGlyph(int frames, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = frames * size;
  info.bmiHeader.biHeight = size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, frames * size, size};
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, magenta);
  DeleteObject(magenta);
  const COLORREF colors[] = {RGB(0, 128, 0), RGB(128, 128, 128), RGB(0, 0, 192), RGB(192, 0, 0), RGB(192, 128, 0)};
  for (int i = 0; i < frames; ++i) {
    HBRUSH brush = CreateSolidBrush(colors[i % 5]);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    Ellipse(dc, i * size + 2, 2, i * size + size - 2, size - 2);
    SelectObject(dc, old_brush);
    DeleteObject(brush);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

class Gallery : public gui::TForm {
 public:
  explicit Gallery(std::wstring page) : page_(std::move(page)) {}

  bool Create() {
    if (!CreateForm(L"TamselGallery", L"Tamsel controls - " + page_, 20, 20, 760, 420)) return false;
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    gui::Application().SetMainWindow(Handle());
    return true;
  }

  void Fill() {
    if (page_ == L"buttons" || page_ == L"buttons-classic")
      Buttons();
    else if (page_ == L"popup")
      Popups();
    else if (page_ == L"push")
      PushButtons();
    else if (page_ == L"labels")
      Labels();
    else if (page_ == L"splitters")
      Splitters();
    else if (page_ == L"list")
      Lists();
  }

 private:
  controls::Tzu3DLabel& Caption(int x, int y, const std::wstring& text) {
    auto label = std::make_unique<controls::Tzu3DLabel>();
    label->SetBounds(x, y, 110, 16);
    label->SetTextStyle(controls::TTextStyle::tsNone);
    label->SetCaption(text);
    label->SetParent(this);
    labels_.push_back(std::move(label));
    return *labels_.back();
  }

  template <typename Button>
  Button& Add(std::vector<std::unique_ptr<TzuSoftButton>>& list, int x, int y, int w, int h, imaging::TzuBtnForm form,
              const std::wstring& caption, int frames) {
    auto button = std::make_unique<Button>();
    button->SetBounds(x, y, w, h);
    button->SetEdgeForm(form);
    button->SetCaption(caption);
    if (frames > 0) {
      HBITMAP glyph = MakeGlyph(frames, 16);
      button->SetGlyph(glyph);
      DeleteObject(glyph);
    }
    button->SetParent(this);
    Button& result = *button;
    list.push_back(std::move(button));
    return result;
  }

  // Puts a soft button into one of the face states through its own events.
  void Into(TzuSoftButton& b, const std::wstring& state) {
    if (state == L"hot") b.Model().MouseEnter(false);
    if (state == L"pressed") b.Model().Press(3, 3, true);
    if (state == L"disabled") b.SetEnabled(false);
    if (state == L"down") {
      b.SetGroupIndex(++groups_);  // a group each, or the last one down would release the others
      b.SetDown(true);
    }
  }

  void Buttons() {
    const wchar_t* states[] = {L"normal", L"hot", L"pressed", L"disabled", L"down"};
    const imaging::TzuBtnForm forms[] = {imaging::efRect, imaging::efRoundRect, imaging::efEllipse};
    const wchar_t* form_names[] = {L"rectangle", L"rounded", L"ellipse"};
    for (int s = 0; s < 5; ++s) Caption(130 + s * 120, 8, states[s]);
    int y = 30;
    for (int flat = 0; flat < 2; ++flat) {
      for (int f = 0; f < 3; ++f) {
        Caption(8, y + 8, std::wstring(form_names[f]) + (flat ? L", flat" : L""));
        for (int s = 0; s < 5; ++s) {
          TzuSoftButton& b = Add<TzuSoftButton>(soft_, 130 + s * 120, y, 100, 30, forms[f], L"Save", 4);
          b.SetFlat(flat != 0);
          b.SetTransparent(false);
          b.SetHiLightMode(3);
          Into(b, states[s]);
        }
        y += 40;
      }
    }
    Caption(8, y + 8, L"glyph only");
    for (int s = 0; s < 5; ++s) {
      TzuSoftButton& b = Add<TzuSoftButton>(soft_, 130 + s * 120, y, 25, 25, imaging::efRoundRect, L"", 4);
      Into(b, states[s]);
    }
  }

  void Popups() {
    const wchar_t* states[] = {L"normal", L"hot", L"pressed", L"disabled", L"drop-down part"};
    for (int s = 0; s < 5; ++s) Caption(130 + s * 120, 8, states[s]);
    for (int separate = 0; separate < 2; ++separate) {
      const int y = 30 + separate * 50;
      Caption(8, y + 8, separate ? L"separate part" : L"whole button");
      for (int s = 0; s < 5; ++s) {
        TzuPopupButton& b = Add<TzuPopupButton>(soft_, 130 + s * 120, y, 100, 30, imaging::efRoundRect, L"Open", 1);
        b.SetSeparateDropDown(separate != 0);
        b.SetTransparent(false);
        if (s == 4) {
          if (separate)
            b.Model().Press(95, 10, true);
          else
            b.Model().Press(10, 10, true);
        } else {
          Into(b, states[s]);
        }
      }
    }
  }

  void PushButtons() {
    const imaging::TzuBtnForm forms[] = {imaging::efRect, imaging::efRoundRect, imaging::efEllipse};
    const wchar_t* names[] = {L"rectangle", L"rounded", L"ellipse"};
    Caption(130, 8, L"normal");
    Caption(250, 8, L"focused, default");
    Caption(370, 8, L"disabled");
    Caption(490, 8, L"hot");
    for (int f = 0; f < 3; ++f) {
      const int y = 30 + f * 45;
      Caption(8, y + 8, names[f]);
      for (int s = 0; s < 4; ++s) {
        auto button = std::make_unique<controls::TZuButton>();
        button->Create(Handle(), 100 + f * 10 + s, 130 + s * 120, y, 100, 32, L"Search");
        button->SetEdgeForm(forms[f]);
        if (s == 1) {
          button->SetDefault(true);
          button->SetDoFocusText(true);
          SetFocus(button->Handle());
        }
        if (s == 2) EnableWindow(button->Handle(), FALSE);
        if (s == 3) SendMessageW(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        push_.push_back(std::move(button));
      }
    }
  }

  void Labels() {
    const controls::TTextStyle styles[] = {controls::TTextStyle::tsNone,   controls::TTextStyle::tsRaised,
                                           controls::TTextStyle::tsSunken, controls::TTextStyle::tsCombi1,
                                           controls::TTextStyle::tsCombi2, controls::TTextStyle::tsCombi3,
                                           controls::TTextStyle::tsCombi4};
    const wchar_t* names[] = {L"tsNone", L"tsRaised", L"tsSunken", L"tsCombi1", L"tsCombi2", L"tsCombi3", L"tsCombi4"};
    font_.reset(CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Tahoma"));
    for (int i = 0; i < 7; ++i) {
      Caption(8, 16 + i * 44, names[i]);
      controls::Tzu3DLabel& label = Caption(130, 6 + i * 44, L"Tamsel 图标");
      label.SetBounds(130, 6 + i * 44, 400, 40);
      label.SetFont(font_.get());
      label.SetFontColor(RGB(0, 64, 160));
      label.SetTextStyle(styles[i]);
    }
    controls::Tzu3DLabel& disabled = Caption(560, 6 + 44, L"disabled");
    disabled.SetTextStyle(controls::TTextStyle::tsRaised);
    disabled.SetEnabled(false);
  }

  void Splitters() {
    panel_top_.Create(Handle(), 0, 0, 0, 120);
    panel_top_.SetBevel(gui::Bevel::kLowered);
    panel_top_.SetAlign(gui::TAlign::alTop);
    bottom_.Create(Handle(), 0, 0, 0, 150);
    bottom_.SetBevel(gui::Bevel::kLowered);
    bottom_.SetAlign(gui::TAlign::alBottom);
    left_.Create(Handle(), 0, 0, 200, 0);
    left_.SetBevel(gui::Bevel::kLowered);
    left_.SetAlign(gui::TAlign::alLeft);
    client_.Create(Handle(), 0, 0, 0, 0);
    client_.SetBevel(gui::Bevel::kLowered);
    client_.SetAlign(gui::TAlign::alClient);
    horizontal_.SetBounds(0, 121, 760, 6);
    horizontal_.SetAlign(gui::TAlign::alTop);
    horizontal_.SetParent(this);
    vertical_.SetBounds(201, 0, 6, 100);
    vertical_.SetAlign(gui::TAlign::alLeft);
    vertical_.SetBeveled(true);
    vertical_.SetParent(this);
    Realign();
  }

  // Two file lists as the search pane shows them: one with its search edit
  // opened by typing "s", completing from the entries; a narrow one whose
  // long row shows its whole text when the mouse rests on it.
  void Lists() {
    const char* entries[] = {"comctl32.dll", "notepad.exe", "setupapi.dll",   "shdocvw.dll",
                             "shell32.dll",  "user32.dll",  "wbem\\wmic.exe", "winhlp32.exe"};
    controls::TZuListBox* lists[] = {&search_list_, &hint_list_};
    Caption(10, 8, L"search as you type");
    Caption(300, 8, L"hint of a long row");
    search_list_.Create(Handle(), 1, 10, 30, 260, 200);
    hint_list_.Create(Handle(), 2, 300, 30, 170, 200);
    for (controls::TZuListBox* list : lists) {
      for (const char* entry : entries) list->Add(entry);
      list->OnGetItemParams = [](controls::TZuListBox& sender, int index, imaging::TBitmap* bitmap, int& offset,
                                 std::string&) {
        offset = 20;
        if (!bitmap) return;
        SHFILEINFOA info{};
        const std::string name = sender.Item(index);
        if (!SHGetFileInfoA(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                            SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
          return;
        bitmap->SetSize(16, 16, imaging::PixelFormat::pfDevice);
        bitmap->Fill(RGB(255, 0, 255));
        DrawIconEx(bitmap->Canvas(), 0, 0, info.hIcon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(info.hIcon);
        bitmap->Transparent = true;
        bitmap->TransparentColor = RGB(255, 0, 255);
      };
    }
    hint_list_.Add("system32\\a_folder_with_a_long_name\\iconlib.dll");
    search_list_.DirectSearch = true;
    search_list_.SetItemIndex(1);
    PostMessageW(search_list_.Handle(), WM_CHAR, 's', 0);
  }

  std::wstring page_;
  int groups_ = 0;
  std::vector<std::unique_ptr<controls::Tzu3DLabel>> labels_;
  std::vector<std::unique_ptr<TzuSoftButton>> soft_;
  std::vector<std::unique_ptr<controls::TZuButton>> push_;
  util::UniqueFont font_;
  gui::TPanel panel_top_, bottom_, left_, client_;
  controls::TzuSplitter horizontal_, vertical_;
  controls::TZuListBox search_list_, hint_list_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  gui::Application().Initialize(instance);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring page = argc > 1 ? argv[1] : L"buttons";
  LocalFree(argv);
  // The classic page shows the faces as they are without visual styles.
  std::unique_ptr<imaging::ThemeUnit> themes;
  if (page != L"buttons-classic") themes = std::make_unique<imaging::ThemeUnit>();

  if (page == L"save") {
    controls::TZuSaveDialog dialog;
    dialog.Title = L"Save";
    dialog.Filter = L"Icon (*.ico)|*.ico";
    dialog.DefaultExt = "ico";
    dialog.FileName = "shell32";
    dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    dialog.OnGetCheckParams = [](controls::TZuCheckBox& box) {
      box.Caption = app::Lang(app::sOpenAfterSave);
      box.Checked = true;
      box.Visible = true;
    };
    return dialog.Execute(nullptr) ? 0 : 1;
  }
  if (page == L"options-html" || page == L"options-dbase") {
    app::TExportSettings settings;
    settings.ExpDBFType = 2;
    int columns = 8;
    const bool confirmed = page == L"options-html" ? app::EditHtmlOptions(nullptr, settings, columns, nullptr)
                                                   : app::EditDBaseOptions(nullptr, settings, nullptr);
    return confirmed ? 0 : 1;
  }
  if (page == L"dir") {
    controls::TZuDirDialog dialog;
    dialog.Title = L"Save all icons into";
    dialog.Directory = "C:\\windows\\";
    return dialog.Execute(nullptr) ? 0 : 1;
  }
  if (page == L"print") {
    app::TPrintFrm form(true);
    return form.Execute(nullptr) ? 0 : 1;
  }
  if (page == L"about") {
    app::ShowAbout(nullptr);
    return 0;
  }
  Gallery gallery(page);
  if (!gallery.Create()) return 2;
  gallery.Fill();
  gallery.Show();
  return gui::Application().Run();
}
