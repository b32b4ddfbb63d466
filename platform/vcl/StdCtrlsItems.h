#pragma once
// The item list of a list box or combo box: the window's items while it has a window, a
// list of its own before (and between) windows, handed over in CreateWnd and taken back in
// DestroyWnd.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Lists.h"
#include "platform/vcl/StdCtrls.h"

namespace vcl_detail {

// The messages of one window class ("ListBox" or "ComboBox").
struct TItemMessages {
  UINT Add, Insert, Delete, Reset, GetCount, GetText, GetTextLen, SetData, GetData, FindExact;
  LRESULT Err;
};
extern const TItemMessages kListBoxMessages;
extern const TItemMessages kComboBoxMessages;

class TItemStrings : public TStrings {
  RTL_CLASS(TItemStrings, TStrings)
 public:
  TItemStrings(TWinControl* Control, const TItemMessages& Messages);

  int Count() const override;
  int AddObject(const std::string& S, TObject* AObject) override;
  int Add(const std::string& S) override { return AddObject(S, nullptr); }
  void Insert(int Index, const std::string& S) override { InsertObject(Index, S, nullptr); }
  void InsertObject(int Index, const std::string& S, TObject* AObject) override;
  void Put(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const std::string& S) const override;

  // Moves the kept items into the new window; takes the window's items back.
  void PushToWindow();
  void PullFromWindow();
  // Sorts the kept items as the window sorts (the Sorted property turned on without a window).
  void SortKept();

 protected:
  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;

 private:
  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
  };
  bool Windowed() const { return control_->HandleAllocated(); }
  bool IsSorted() const;
  TCustomListBox* VirtualListBox() const;
  LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
  void CheckIndex(int Index) const;
  int SortedPlace(const std::string& S) const;

  TWinControl* control_;
  const TItemMessages& msg_;
  std::vector<TItem> kept_;
};

// The window's sort order: code points compared after case folding.
int CompareItemText(const std::string& A, const std::string& B);

// UTF-8 text as code points and back; a malformed byte counts as one character.
std::u32string DecodeUtf8(const std::string& S);
std::string EncodeUtf8(const std::u32string& S);
// DrawText through a canvas (its font, colour and brush applied); Rect receives the
// calculated rectangle with DT_CALCRECT.
void CanvasDrawText(TCanvas* Canvas, TRect& Rect, const std::string& Text, UINT Flags);

// Characters [Start, Start + Length) of UTF-8 text, clamped to it.
std::string Utf8Sub(const std::string& S, int Start, int Length);

// Answers a reflected WM_DRAWITEM of a list box or combo box: binds the control's canvas to
// the item's DC in the selection colours, lets Draw paint a real item (an empty list only gets
// its background) and adds the focus rectangle.
void DrawOwnerDrawItem(TControlCanvas* Canvas, TWinControl* Control, DRAWITEMSTRUCT& Item,
                       TOwnerDrawState State,
                       const std::function<void(int, const TRect&, TOwnerDrawState)>& Draw);
// Answers a reflected WM_MEASUREITEM: the fixed height, or Measure's for variable heights.
void MeasureOwnerDrawItem(MEASUREITEMSTRUCT& Item, int ItemHeight, bool Variable,
                          const std::function<void(int, int&)>& Measure);

}  // namespace vcl_detail
