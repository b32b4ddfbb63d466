#pragma once
// Components for the streaming tests and the description fuzz target: every kind of published
// property, a sub-object, a collection, a string list, defined and binary properties, parents
// and children, published handlers, and a log of Loaded calls. Header-only so that the fuzz
// target shares them; the classes register themselves.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Lists.h"

// In a namespace of their own so that other tests may use the same short names.
namespace filer_test {
enum class TTestAlign { taNone, taLeft, taRight, taClient };
enum class TTestOption { toEditing, toTabs, toRowSelect, toMultiSelect };
}  // namespace filer_test

RTL_ENUM_INFO(filer_test::TTestAlign, "taNone", "taLeft", "taRight", "taClient");
RTL_ENUM_INFO(filer_test::TTestOption, "toEditing", "toTabs", "toRowSelect", "toMultiSelect");

namespace filer_test {

using TTestOptions = TSet<TTestOption>;

inline const TIdentMap& TestColorIdents() {
  static const TIdentMap map{"TColor", {{0x000000, "clBlack"}, {0x0000FF, "clRed"}, {-16777211, "clWindow"}}};
  return map;
}

// Calls of Loaded, as "Name" (or "Name:Buddy" when a reference was already resolved).
inline std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

class TTestControl;
class TTestItem;

// A sub-object with its own properties and a defined property.
class TTestFont : public TPersistent {
  RTL_CLASS(TTestFont, TPersistent)
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  int Charset() const { return charset_; }
  void SetCharset(int v) { charset_ = v; }

  static void DescribeClass(TClassBuilder<TTestFont>& c) {
    c.Property("Name", &TTestFont::Name, &TTestFont::SetName);
    c.Property("Size", &TTestFont::Size, &TTestFont::SetSize).Default(8);
    c.Property("Color", &TTestFont::Color, &TTestFont::SetColor).WithIdents(TestColorIdents());
  }
  void DefineProperties(TFiler& Filer) override {
    auto* ancestor = dynamic_cast<TTestFont*>(Filer.Ancestor());
    Filer.DefineProperty(
        "Charset", [this](TReader& r) { charset_ = r.ReadInteger(); },
        [this](TWriter& w) { w.WriteInteger(charset_); },
        ancestor ? ancestor->charset_ != charset_ : charset_ != 1);
  }

 private:
  std::string name_;
  int size_ = 8;
  int color_ = 0;
  int charset_ = 1;
};

// A control: published properties of every kind, a parent and child controls.
class TTestControl : public TComponent {
  RTL_CLASS(TTestControl, TComponent)
 public:
  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override {
    SetParent(nullptr);
    for (TTestControl* c : children_) c->parent_ = nullptr;
  }

  int Left() const { return left_; }
  void SetLeft(int v) { left_ = v; }
  int Top() const { return top_; }
  void SetTop(int v) { top_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  const std::u16string& Hint() const { return hint_; }
  void SetHint(const std::u16string& v) { hint_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  double Price() const { return price_; }
  void SetPrice(double v) { price_ = v; }
  double When() const { return when_; }
  void SetWhen(double v) { when_ = v; }
  float Scale() const { return scale_; }
  void SetScale(float v) { scale_ = v; }
  int64_t Big() const { return big_; }
  void SetBig(int64_t v) { big_ = v; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TTestAlign Align() const { return align_; }
  void SetAlign(TTestAlign v) { align_ = v; }
  TTestOptions Options() const { return options_; }
  void SetOptions(TTestOptions v) { options_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  // Any component; the items' Buddy takes controls only.
  TComponent* Buddy() const { return buddy_; }
  void SetBuddy(TComponent* v) {
    if (buddy_) buddy_->RemoveFreeNotification(this);
    buddy_ = v;
    if (buddy_) buddy_->FreeNotification(this);
  }
  TTestFont* Font() const { return const_cast<TTestFont*>(&font_); }
  TOwnedCollection* Columns() const { return const_cast<TOwnedCollection*>(&columns_); }
  TStringList* Items() const { return const_cast<TStringList*>(&items_); }
  TTestItem* Column(int i) const;

  std::vector<int>& Extra() { return extra_; }
  std::vector<uint8_t>& Data() { return data_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnChange;

  TTestControl* Parent() const { return parent_; }
  void SetParent(TTestControl* v) {
    if (parent_ == v) return;
    if (parent_) std::erase(parent_->children_, this);
    parent_ = v;
    if (parent_) parent_->children_.push_back(this);
  }
  const std::vector<TTestControl*>& Children() const { return children_; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* Value) override { SetParent(dynamic_cast<TTestControl*>(Value)); }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (TTestControl* c : std::vector<TTestControl*>(children_))
      if (c->Owner() == Root) Proc(c);
  }
  void SetChildOrder(TComponent* Child, int Order) override {
    auto it = std::find(children_.begin(), children_.end(), Child);
    if (it == children_.end() || Order < 0 || Order >= static_cast<int>(children_.size())) return;
    children_.erase(it);
    children_.insert(children_.begin() + Order, static_cast<TTestControl*>(Child));
  }

  void Loaded() override {
    inherited::Loaded();
    LoadedLog().push_back(Name() + (buddy_ ? ":" + buddy_->Name() : std::string()));
  }

  void DefineProperties(TFiler& Filer) override {
    inherited::DefineProperties(Filer);
    auto* ancestor = dynamic_cast<TTestControl*>(Filer.Ancestor());
    Filer.DefineProperty(
        "Extra",
        [this](TReader& r) {
          extra_.clear();
          r.ReadListBegin();
          while (!r.EndOfList()) extra_.push_back(r.ReadInteger());
          r.ReadListEnd();
        },
        [this](TWriter& w) {
          w.WriteListBegin();
          for (int v : extra_) w.WriteInteger(v);
          w.WriteListEnd();
        },
        ancestor ? ancestor->extra_ != extra_ : !extra_.empty());
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
          data_.assign(static_cast<size_t>(s.Size()), 0);
          s.ReadBuffer(data_.data(), s.Size());
        },
        [this](TStream& s) { s.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size())); },
        ancestor ? ancestor->data_ != data_ : !data_.empty());
  }

  static void DescribeClass(TClassBuilder<TTestControl>& c) {
    c.Property("Left", &TTestControl::Left, &TTestControl::SetLeft);
    c.Property("Top", &TTestControl::Top, &TTestControl::SetTop);
    c.Property("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
    c.Property("Hint", &TTestControl::Hint, &TTestControl::SetHint);
    c.Property("Ratio", &TTestControl::Ratio, &TTestControl::SetRatio);
    c.Property("Price", &TTestControl::Price, &TTestControl::SetPrice).OfType("Currency");
    c.Property("When", &TTestControl::When, &TTestControl::SetWhen).OfType("TDateTime");
    c.Property("Scale", &TTestControl::Scale, &TTestControl::SetScale).OfType("Single");
    c.Property("Big", &TTestControl::Big, &TTestControl::SetBig);
    c.Property("Value", &TTestControl::Value, &TTestControl::SetValue);
    c.Property("Enabled", &TTestControl::Enabled, &TTestControl::SetEnabled).Default(1);
    c.Property("Align", &TTestControl::Align, &TTestControl::SetAlign);
    c.Property("Options", &TTestControl::Options, &TTestControl::SetOptions);
    c.Property("Color", &TTestControl::Color, &TTestControl::SetColor).WithIdents(TestColorIdents());
    c.Property(
        "OnClick", [](const TTestControl& x) { return x.OnClick; },
        [](TTestControl& x, const TNotifyEvent& e) { x.OnClick = e; });
    c.Property(
        "OnChange", [](const TTestControl& x) { return x.OnChange; },
        [](TTestControl& x, const TNotifyEvent& e) { x.OnChange = e; });
    c.Property("Buddy", &TTestControl::Buddy, &TTestControl::SetBuddy);
    c.Property("Font", &TTestControl::Font);
    c.Property("Columns", &TTestControl::Columns);
    c.Property("Items", &TTestControl::Items);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == buddy_) buddy_ = nullptr;
  }

 private:
  int left_ = 0, top_ = 0;
  std::string caption_;
  std::u16string hint_;
  double ratio_ = 0, price_ = 0, when_ = 0;
  float scale_ = 0;
  int64_t big_ = 0;
  Variant value_;
  bool enabled_ = true;
  TTestAlign align_ = TTestAlign::taNone;
  TTestOptions options_;
  int color_ = 0;
  TComponent* buddy_ = nullptr;
  TTestFont font_;
  TOwnedCollection columns_;
  TStringList items_;
  std::vector<int> extra_;
  std::vector<uint8_t> data_;
  TTestControl* parent_ = nullptr;
  std::vector<TTestControl*> children_;
};

class TTestItem : public TCollectionItem {
  RTL_CLASS(TTestItem, TCollectionItem)
 public:
  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& v) { fieldName_ = v; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TTestControl* Buddy() const { return buddy_; }
  void SetBuddy(TTestControl* v) { buddy_ = v; }

  static void DescribeClass(TClassBuilder<TTestItem>& c) {
    c.Property("FieldName", &TTestItem::FieldName, &TTestItem::SetFieldName);
    c.Property("Width", &TTestItem::Width, &TTestItem::SetWidth).Default(64);
    c.Property("Visible", &TTestItem::Visible, &TTestItem::SetVisible).Default(1);
    c.Property("Buddy", &TTestItem::Buddy, &TTestItem::SetBuddy);
  }

 private:
  std::string fieldName_;
  int width_ = 64;
  bool visible_ = true;
  TTestControl* buddy_ = nullptr;
};

inline TTestControl::TTestControl(TComponent* AOwner)
    : TComponent(AOwner), columns_(this, TTestItem::StaticClass()) {}

inline TTestItem* TTestControl::Column(int i) const {
  return static_cast<TTestItem*>(columns_.Items(i));
}

// A component without a parent, listed by the form among its owned components.
class TTestData : public TComponent {
  RTL_CLASS(TTestData, TComponent)
 public:
  explicit TTestData(TComponent* AOwner) : TComponent(AOwner) {}
  bool Active() const { return active_; }
  void SetActive(bool v) { active_ = v; }
  void Loaded() override {
    inherited::Loaded();
    LoadedLog().push_back(Name());
  }
  static void DescribeClass(TClassBuilder<TTestData>& c) {
    c.Property("Active", &TTestData::Active, &TTestData::SetActive);
  }

 private:
  bool active_ = false;
};

// A root: its child controls, then the owned components that have no parent; handlers that
// descriptions bind by name.
class TTestForm : public TTestControl {
  RTL_CLASS(TTestForm, TTestControl)
 public:
  explicit TTestForm(TComponent* AOwner) : TTestControl(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    TTestControl::GetChildren(Proc, Root);
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
  void SetChildOrder(TComponent* Child, int Order) override {
    if (Child->HasParent())
      TTestControl::SetChildOrder(Child, Order);
    else
      Child->SetComponentIndex(Order);
  }

  void ButtonClick(TObject* Sender) {
    ++clicks;
    lastSender = Sender;
  }
  void OtherClick(TObject*) { ++otherClicks; }
  void CountChange(int) {}  // a handler of another type

  static void DescribeClass(TClassBuilder<TTestForm>& c) {
    c.Method("ButtonClick", &TTestForm::ButtonClick);
    c.Method("OtherClick", &TTestForm::OtherClick);
    c.Method("CountChange", &TTestForm::CountChange);
  }

  int clicks = 0;
  int otherClicks = 0;
  TObject* lastSender = nullptr;
};

// A descendant form, for descriptions that build on the ancestor's.
class TTestForm2 : public TTestForm {
  RTL_CLASS(TTestForm2, TTestForm)
 public:
  explicit TTestForm2(TComponent* AOwner) : TTestForm(AOwner) {}
};

// clang-format off
inline RTL_IMPLEMENT_CLASS(TTestFont)
inline RTL_IMPLEMENT_CLASS(TTestItem)
inline RTL_IMPLEMENT_CLASS(TTestControl)
inline RTL_IMPLEMENT_CLASS(TTestData)
inline RTL_IMPLEMENT_CLASS(TTestForm)
inline RTL_IMPLEMENT_CLASS(TTestForm2)

inline const bool kFilerTestClassesRegistered = [] {
  RegisterClasses({TTestControl::StaticClass(), TTestData::StaticClass(), TTestForm::StaticClass(),
                   TTestForm2::StaticClass()});
  return true;
}();
// clang-format on

// --- helpers -------------------------------------------------------------------------------

inline std::string StreamBytes(TCustomMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

inline std::string ComponentToBinary(TComponent* c, TComponent* ancestor = nullptr) {
  TMemoryStream s;
  s.WriteDescendent(c, ancestor);
  return StreamBytes(s);
}

inline std::string BinaryToText(const std::string& binary) {
  TStringStream in(binary), out;
  ObjectBinaryToText(in, out);
  return out.DataString();
}

inline std::string TextToBinary(const std::string& text) {
  TStringStream in(text), out;
  ObjectTextToBinary(in, out);
  return out.DataString();
}

inline void ReadBinaryInto(const std::string& binary, TComponent* root) {
  TStringStream s(binary);
  TReader reader(s);
  reader.ReadRootComponent(root);
}

// A form using every kind of property: a panel holding two controls (the first referring
// forward to the second), and a component without a parent.
inline void BuildSampleForm(TTestForm& form) {
  form.SetName("Form1");
  form.SetLeft(10);
  form.SetCaption("Hello\r\nit's");
  auto* panel = new TTestControl(&form);
  panel->SetName("Panel1");
  panel->SetParent(&form);
  panel->SetAlign(TTestAlign::taClient);
  auto* button = new TTestControl(&form);
  button->SetName("Button1");
  button->SetParent(panel);
  auto* edit = new TTestControl(&form);
  edit->SetName("Edit1");
  edit->SetParent(panel);
  auto* data = new TTestData(&form);
  data->SetName("Data1");
  data->SetActive(true);

  button->SetCaption("OK");
  button->SetHint(u"Press \u2713 \U0001F600");
  button->SetRatio(1.5);
  button->SetPrice(12.5);
  button->SetWhen(45000.25);
  button->SetScale(0.75f);
  button->SetBig(int64_t(1) << 40);
  button->SetValue(Variant(42));
  button->SetEnabled(false);
  button->SetOptions({TTestOption::toEditing, TTestOption::toTabs});
  button->SetColor(0xFF);
  button->OnClick = TNotifyEvent::Method(&form, &TTestForm::ButtonClick, "ButtonClick");
  button->SetBuddy(edit);
  button->Font()->SetName("Tahoma");
  button->Font()->SetSize(10);
  button->Font()->SetCharset(134);
  button->Items()->Add("a");
  button->Items()->Add("b");
  auto* first = static_cast<TTestItem*>(button->Columns()->Add());
  first->SetFieldName("X");
  first->SetBuddy(panel);
  static_cast<TTestItem*>(button->Columns()->Add())->SetWidth(80);
  button->Extra() = {1, 300, -70000};
  button->Data() = {0x0A, 0x0B, 0x0C};

  edit->SetColor(12345);
  edit->SetValue(VarArrayOf({Variant(1), Null(), Variant("x")}));
}

}  // namespace filer_test

using namespace filer_test;  // the streaming tests use these names throughout
