// State models of the list view (with its columns in the window's header), the tree view and
// the extended combo box.
#include <algorithm>

#include "platform/rtl/Lists.h"
#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TListColumn)
RTL_IMPLEMENT_CLASS(TListColumns)
RTL_IMPLEMENT_CLASS(TListItem)
RTL_IMPLEMENT_CLASS(TListItems)
RTL_IMPLEMENT_CLASS(TCustomListView)
RTL_IMPLEMENT_CLASS(TListView)
RTL_IMPLEMENT_CLASS(TTreeNode)
RTL_IMPLEMENT_CLASS(TTreeNodes)
RTL_IMPLEMENT_CLASS(TCustomTreeView)
RTL_IMPLEMENT_CLASS(TTreeView)
RTL_IMPLEMENT_CLASS(TComboExItem)
RTL_IMPLEMENT_CLASS(TComboExItems)
RTL_IMPLEMENT_CLASS(TComboBoxEx)

namespace {

[[noreturn]] void IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

// --- columns ---------------------------------------------------------------------------------------

void TListColumn::DescribeClass(TClassBuilder<TListColumn>& c) {
  c.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment);
  c.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  c.Property("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
}

void TListColumn::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TListColumn*>(Source)) {
    caption_ = other->caption_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    Changed(false);
    return;
  }
  inherited::Assign(Source);
}

std::string TListColumn::GetDisplayName() const {
  return caption_.empty() ? inherited::GetDisplayName() : caption_;
}

void TListColumn::SetCaption(const std::string& Value) {
  caption_ = Value;
  Changed(false);
}

void TListColumn::SetWidth(int Value) {
  width_ = std::max(0, Value);
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
  alignment_ = Value;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* Owner) : TCollection(TListColumn::StaticClass()), owner_(Owner) {}

TPersistent* TListColumns::GetOwner() {
  return owner_;
}

void TListColumns::Update(TCollectionItem* Item) {
  (void)Item;
  if (owner_) owner_->UpdateColumns();
}

// --- items -----------------------------------------------------------------------------------------

TListItem::TListItem(TListItems* Owner) : owner_(Owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { PushTexts(Index()); };
}

TListItem::~TListItem() = default;

TStrings* TListItem::SubItems() const {
  return subItems_.get();
}

HWND TListItem::Window() const {
  TCustomListView* view = owner_ ? owner_->Owner() : nullptr;
  return view && view->HandleAllocated() ? view->Handle() : nullptr;
}

void TListItem::SetCaption(const std::string& Value) {
  caption_ = Value;
  PushTexts(Index());
}

void TListItem::SetSelected(bool Value) {
  selected_ = Value;
  PushState(Index());
}

// The caption and the sub-items; sub-items removed since the last push are blanked.
void TListItem::PushTexts(int AtIndex) {
  HWND window = Window();
  if (!window) return;
  const auto index = static_cast<WPARAM>(AtIndex);
  const int count = subItems_->Count();
  for (int sub = 0; sub <= std::max(count, shownSubItems_); ++sub) {
    std::string text = sub == 0 ? caption_ : sub <= count ? subItems_->Strings(sub - 1) : std::string();
    LVITEM item;
    item.iSubItem = sub;
    item.pszText = text.data();
    SendMessage(window, LVM_SETITEMTEXT, index, reinterpret_cast<LPARAM>(&item));
  }
  shownSubItems_ = count;
}

// A selected item also takes the focus, so the keys move on from it.
void TListItem::PushState(int AtIndex) {
  HWND window = Window();
  if (!window) return;
  LVITEM item;
  item.state = selected_ ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  item.stateMask = selected_ ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
  SendMessage(window, LVM_SETITEMSTATE, static_cast<WPARAM>(AtIndex), reinterpret_cast<LPARAM>(&item));
}

int TListItem::Index() const {
  return owner_ ? owner_->IndexOf(this) : -1;
}

void TListItem::Delete() {
  if (owner_) owner_->Delete(Index());
}

TListItems::~TListItems() = default;

TListItem* TListItems::Add() {
  return Insert(Count());
}

TListItem* TListItems::Insert(int Index) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  auto item = std::make_unique<TListItem>(this);
  TListItem* result = item.get();
  items_.insert(items_.begin() + Index, std::move(item));
  if (owner_) owner_->InsertItemWindow(Index);
  return result;
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return items_[static_cast<size_t>(Index)].get();
}

void TListItems::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  items_.erase(items_.begin() + Index);
  if (owner_ && owner_->HandleAllocated())
    SendMessage(owner_->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
}

void TListItems::Clear() {
  items_.clear();
  if (owner_ && owner_->HandleAllocated()) SendMessage(owner_->Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListItems::IndexOf(const TListItem* Value) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].get() == Value) return i;
  return -1;
}

// --- TCustomListView ------------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  SetBounds(Left(), Top(), 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

TCustomListView::~TCustomListView() = default;

void TListView::DescribeClass(TClassBuilder<TListView>& c) {
  PublishControl(c,
                 {"Align", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "PopupMenu", "TabOrder",
                  "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit", "OnKeyDown"});
  c.Property("Columns", &TListView::Columns, &TListView::SetColumns);
  c.Property("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders).Default(1);
  c.Property("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle);
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEW);
  static constexpr DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  Params.Style |= kStyles[viewStyle_];
  if (!showColumnHeaders_) Params.Style |= LVS_NOCOLUMNHEADER;
}

void TCustomListView::CreateWnd() {
  inherited::CreateWnd();
  UpdateColumns();
  for (int i = 0; i < items_->Count(); ++i) InsertItemWindow(i);
}

void TCustomListView::InsertItemWindow(int Index) {
  if (!HandleAllocated()) return;
  TListItem* item = items_->Item(Index);
  LVITEM row;
  row.mask = LVIF_TEXT | LVIF_STATE;
  row.iItem = Index;
  std::string caption = item->Caption();
  row.pszText = caption.data();
  row.state = item->Selected() ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  row.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessage(Handle(), LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&row));
  item->shownSubItems_ = 0;
  if (item->SubItems()->Count() > 0) item->PushTexts(Index);
}

// The window's selection (a click, a key) comes back to the items.
void TCustomListView::ItemChanged(const NMLISTVIEW& Change) {
  if (!(Change.uChanged & LVIF_STATE) || Change.iItem < 0 || Change.iItem >= items_->Count()) return;
  items_->Item(Change.iItem)->selected_ = (Change.uNewState & LVIS_SELECTED) != 0;
}

void TCustomListView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY)
    if (const NMHDR* hdr = Message.NMHdr(); hdr && hdr->code == LVN_ITEMCHANGED) {
      ItemChanged(*reinterpret_cast<const NMLISTVIEW*>(hdr));
      Message.Result = 0;
      return;
    }
  inherited::Dispatch(Message);
}

HWND TCustomListView::HeaderHandle() {
  if (!HandleAllocated()) return nullptr;
  return reinterpret_cast<HWND>(SendMessage(Handle(), LVM_GETHEADER, 0, 0));
}

void TCustomListView::UpdateColumns() {
  HWND header = HeaderHandle();
  if (!header) return;
  while (SendMessage(header, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessage(header, HDM_DELETEITEM, 0, 0);
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* column = columns_->Items(i);
    std::string text = column->Caption();
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = text.data();
    item.cxy = column->Width();
    item.fmt = HDF_STRING | (column->Alignment() == taCenter         ? HDF_CENTER
                             : column->Alignment() == taRightJustify ? HDF_RIGHT
                                                                     : HDF_LEFT);
    SendMessage(header, HDM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  InvalidateRect(Handle(), nullptr, TRUE);  // the rows follow the columns
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (viewStyle_ == Value) return;
  viewStyle_ = Value;
  RecreateWnd();
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
  if (showColumnHeaders_ == Value) return;
  showColumnHeaders_ = Value;
  RecreateWnd();
}

TListItem* TCustomListView::Selected() const {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Item(i)->Selected()) return items_->Item(i);
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
  for (int i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Item(i);
    if (item->selected_ == (item == Value)) continue;
    item->selected_ = item == Value;
    item->PushState(i);
  }
}

int TCustomListView::ItemIndex() const {
  const TListItem* item = Selected();
  return item ? item->Index() : -1;
}

void TCustomListView::SetItemIndex(int Value) {
  SetSelected(Value >= 0 && Value < items_->Count() ? items_->Item(Value) : nullptr);
}

// --- tree nodes ------------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : owner_(Owner), parent_(Parent) {}

TTreeNode::~TTreeNode() = default;

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return children_[static_cast<size_t>(Index)].get();
}

int TTreeNode::Level() const {
  int level = -1;  // the hidden root is above level 0
  for (const TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

int TTreeNode::Index() const {
  if (!parent_) return -1;
  const auto& siblings = parent_->children_;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::AbsoluteIndex() const {
  int index = -1;
  for (int i = 0; owner_ && i < owner_->Count(); ++i)
    if (owner_->Item(i) == this) index = i;
  return index;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const int i = Index();
  return i >= 0 && i + 1 < parent_->Count() ? parent_->Item(i + 1) : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int i = Index();
  return i > 0 ? parent_->Item(i - 1) : nullptr;
}

void TTreeNode::Expand(bool Recurse) {
  expanded_ = true;
  if (Recurse)
    for (auto& child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  expanded_ = false;
  if (Recurse)
    for (auto& child : children_) child->Collapse(true);
}

void TTreeNode::Delete() {
  if (owner_) owner_->Delete(this);
}

TTreeNodes::TTreeNodes(TCustomTreeView* Owner)
    : owner_(Owner), root_(std::make_unique<TTreeNode>(this, nullptr)) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Insert(TTreeNode* Parent, int At, const std::string& S) {
  auto node = std::make_unique<TTreeNode>(this, Parent);
  node->text_ = S;
  TTreeNode* result = node.get();
  Parent->children_.insert(Parent->children_.begin() + At, std::move(node));
  return result;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
  TTreeNode* parent = Sibling ? Sibling->parent_ : root_.get();
  return Insert(parent, parent->Count(), S);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S) {
  return Insert(Sibling ? Sibling->parent_ : root_.get(), 0, S);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
  TTreeNode* parent = Parent ? Parent : root_.get();
  return Insert(parent, parent->Count(), S);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S) {
  return Insert(Parent ? Parent : root_.get(), 0, S);
}

namespace {
int CountBelow(const TTreeNode* node) {
  int n = 0;
  for (int i = 0; i < node->Count(); ++i) n += 1 + CountBelow(node->Item(i));
  return n;
}

const TTreeNode* FindByIndex(const TTreeNode* node, int& index) {
  for (int i = 0; i < node->Count(); ++i) {
    const TTreeNode* child = node->Item(i);
    if (index-- == 0) return child;
    if (const TTreeNode* found = FindByIndex(child, index)) return found;
  }
  return nullptr;
}
}  // namespace

int TTreeNodes::Count() const {
  return CountBelow(root_.get());
}

TTreeNode* TTreeNodes::Item(int Index) const {
  int i = Index;
  const TTreeNode* found = Index >= 0 ? FindByIndex(root_.get(), i) : nullptr;
  if (!found) IndexError(Index);
  return const_cast<TTreeNode*>(found);
}

// The selection moves off a node (or a descendant of it) that is going away.
void TTreeNodes::Removing(TTreeNode* Node) {
  if (!owner_ || !owner_->selected_) return;
  for (const TTreeNode* p = owner_->selected_; p; p = p->parent_)
    if (p == Node) {
      owner_->selected_ = nullptr;
      return;
    }
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node == root_.get() || Node->owner_ != this || !Node->parent_) return;
  Removing(Node);
  auto& siblings = Node->parent_->children_;
  siblings.erase(siblings.begin() + Node->Index());
}

void TTreeNodes::Clear() {
  if (owner_) owner_->selected_ = nullptr;
  root_->children_.clear();
}

// --- TCustomTreeView ---------------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
}

TCustomTreeView::~TCustomTreeView() {
  selected_ = nullptr;
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEW);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (Value && Value->Owner() != items_.get()) return;
  if (selected_ == Value) return;
  selected_ = Value;
  OnChange(this);
}

// --- TComboBoxEx ------------------------------------------------------------------------------------

void TComboExItem::DescribeClass(TClassBuilder<TComboExItem>& c) {
  c.Property("Caption", &TComboExItem::Caption, &TComboExItem::SetCaption);
  c.Property("ImageIndex", &TComboExItem::ImageIndex, &TComboExItem::SetImageIndex).Default(-1);
}

void TComboExItem::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TComboExItem*>(Source)) {
    caption_ = other->caption_;
    imageIndex_ = other->imageIndex_;
    return;
  }
  inherited::Assign(Source);
}

TComboExItem* TComboExItems::AddItem(const std::string& Caption, int ImageIndex) {
  TComboExItem* item = Add();
  item->SetCaption(Caption);
  item->SetImageIndex(ImageIndex);
  return item;
}

TComboBoxEx::TComboBoxEx(TComponent* AOwner)
    : TWinControl(AOwner), itemsEx_(std::make_unique<TComboExItems>()) {
  SetBounds(Left(), Top(), 145, 22);
  SetTabStop(true);
}

TComboBoxEx::~TComboBoxEx() = default;

void TComboBoxEx::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_COMBOBOXEX);
}

int TComboBoxEx::ItemIndex() const {
  return itemIndex_ < itemsEx_->Count() ? itemIndex_ : -1;
}

void TComboBoxEx::SetItemIndex(int Value) {
  if (Value < -1 || Value >= itemsEx_->Count() || Value == itemIndex_) return;
  itemIndex_ = Value;
  SetText(Value >= 0 ? itemsEx_->Items(Value)->Caption() : "");
  OnChange(this);
}

void TComboBoxEx::SetImages(TCustomImageList* Value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
}

void TComboBoxEx::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}
