#pragma once
// The most-recently-used text list of an editor or a column, and the list box that drops it
// down under the editor.
#include <memory>
#include <string>

#include "grid/foundation/PopupListboxEh.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/StdCtrls.h"

using TMRUListCloseUpEventEh = TEvent<void(TObject* Sender, bool Accept)>;
using TFilterMRUItemEventEh = TEvent<void(TObject* Sender, bool& Accept)>;

// Texts the user entered, the newest last. The editor that owns the list assigns its close-up
// and drop-down handlers; the list keeps its drop-down state and width for the editor.
class TMRUListEh : public TPersistent {
  RTL_CLASS(TMRUListEh, TPersistent)
 public:
  explicit TMRUListEh(TPersistent* AOwner = nullptr);
  ~TMRUListEh() override;
  static void DescribeClass(TClassBuilder<TMRUListEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  bool Active() const { return active_; }
  void SetActive(bool Value) { active_ = Value; }
  bool AutoAdd() const { return autoAdd_; }
  void SetAutoAdd(bool Value) { autoAdd_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value) { caseSensitive_ = Value; }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  int Limit() const { return limit_; }
  void SetLimit(int Value) { limit_ = Value; }
  int Rows() const { return rows_; }
  void SetRows(int Value) { rows_ = Value; }
  // The list box's width the user chose (0: the editor's width).
  int Width() const { return width_; }
  void SetWidth(int Value) { width_ = Value; }
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool Value) { droppedDown_ = Value; }
  // Filtering stops when a key press waits in the queue (on from creation).
  bool CancelIfKeyInQueue() const { return cancelIfKeyInQueue_; }
  void SetCancelIfKeyInQueue(bool Value) { cancelIfKeyInQueue_ = Value; }

  // Trims Text; an empty text is ignored; an equal item (by CaseSensitive) moves to the end,
  // a new one is appended and the oldest items go beyond Limit.
  void Add(const std::string& Text);
  // Fills List with the items that begin with Text (by CaseSensitive), each of which
  // OnFilterItem may refuse. Answers False, with List partly filled, when it stopped for a
  // waiting key press (checked every 100 items while CancelIfKeyInQueue).
  bool FilterItemsTo(TStrings* List, const std::string& Text);
  // The item OnFilterItem is asked about.
  const std::string& FilteredItem() const { return filteredItem_; }

  // Asks the editor to drop the list down / to close it (taking the chosen text when Accept).
  void DropDown() { DoFilterItem(); }
  void CloseUp(bool Accept) { DoSetDropDown(Accept); }

  TMRUListCloseUpEventEh OnSetCloseUp;
  TNotifyEvent OnSetDropDown;
  TFilterMRUItemEventEh OnFilterItem;

 protected:
  // The two request slots keep their customary names: DoSetDropDown carries the close-up
  // request (Accept) and DoFilterItem the drop-down request.
  virtual void DoSetDropDown(bool Accept);
  virtual void DoFilterItem();
  // Asks OnFilterItem about FilteredItem().
  virtual void FilterItem(bool& Accept);

 private:
  TPersistent* owner_;
  std::unique_ptr<TStringList> items_;
  std::string filteredItem_;
  int limit_ = 100;
  int rows_ = 7;
  int width_ = 0;
  bool active_ = false;
  bool autoAdd_ = true;
  bool caseSensitive_ = false;
  bool droppedDown_ = false;
  bool cancelIfKeyInQueue_ = true;
};

// The drop-down list of an editor's MRU items. It has its own vertical scroll bar control in
// place of the window's, so the size grip fits below it.
class TMRUListboxEh : public TPopupListboxEh {
  RTL_CLASS(TMRUListboxEh, TPopupListboxEh)
 public:
  explicit TMRUListboxEh(TComponent* AOwner);

  TScrollBar* ScrollBar() const { return scrollBar_; }
  // Range, page and position from the item count, the rows shown and the top row; the bar
  // shows only when not every item fits.
  void UpdateScrollBar();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;

 protected:
  void Resize() override;
  void ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void PlaceScrollBar();

 private:
  TScrollBar* scrollBar_ = nullptr;
  bool updating_ = false;
};
