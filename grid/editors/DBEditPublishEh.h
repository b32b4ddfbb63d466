// The published properties and events the edit-based data-aware editors share. Private to
// grid/editors: each editor's DescribeClass calls these in the order its streamed form keeps.
#pragma once

#include <string>

#include "grid/editors/DBEditEh.h"
#include "platform/rtl/Variant.h"

namespace db_edit_publish {

// The editors describe their stored-when predicates on const objects, but the predicates ask
// members that are not const.
template <class T>
T& Mutable(const TObject& o) {
  return const_cast<T&>(static_cast<const T&>(o));
}

template <class T, class E, class C>
void PublishEvent(TClassBuilder<T>& c, const char* Name, E C::*Member) {
  c.Property(
      Name, [Member](const T& o) -> const E& { return o.*Member; },
      [Member](T& o, const E& e) { o.*Member = e; });
}

// The property groups not every editor publishes.
enum TDBEditPublishOption : unsigned {
  dpoTextCase = 1u << 0,       // CharCase, MaxLength and WordWrap
  dpoEmptyDataInfo = 1u << 1,  // EmptyDataInfo
};

}  // namespace db_edit_publish

// The control properties and events, the edit and data-aware editor properties up to Alignment.
template <class T>
void PublishDBEditProperties(TClassBuilder<T>& c, unsigned Options) {
  using namespace db_edit_publish;
  PublishControl(
      c, {"Align",       "Anchors",     "BevelEdges",  "BevelInner",     "BevelKind",  "BevelOuter",
          "BiDiMode",    "Color",       "Constraints", "Ctl3D",          "DragCursor", "DragKind",
          "DragMode",    "Enabled",     "Font",        "ImeMode",        "ImeName",    "ParentBiDiMode",
          "ParentColor", "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",  "TabOrder",
          "TabStop",     "OnChange",    "OnClick",     "OnContextPopup", "OnDblClick", "OnDragDrop",
          "OnDragOver",  "OnEndDock",   "OnEndDrag",   "OnEnter",        "OnExit",     "OnKeyDown",
          "OnKeyPress",  "OnKeyUp",     "OnMouseDown", "OnMouseMove",    "OnMouseUp",  "OnStartDock",
          "OnStartDrag"});
  const bool textCase = Options & dpoTextCase;
  c.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1);
  c.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(1);
  c.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  if (textCase) {
    c.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
    c.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomMaskEdit::SetMaxLength).Default(0);
  }
  c.Property("AlwaysShowBorder", &TCustomDBEditEh::AlwaysShowBorder, &TCustomDBEditEh::SetAlwaysShowBorder);
  c.Property("Flat", &TCustomDBEditEh::Flat, &TCustomDBEditEh::SetFlat);
  c.Property("HighlightRequired", &TCustomDBEditEh::HighlightRequired,
             &TCustomDBEditEh::SetHighlightRequired);
  c.Property("ReadOnly", &TCustomDBEditEh::ReadOnly, &TCustomDBEditEh::SetReadOnly);
  c.Property("ShowHint", &TCustomDBEditEh::ShowHint, &TCustomDBEditEh::SetShowHint);
  c.Property("Tooltips", &TCustomDBEditEh::Tooltips, &TCustomDBEditEh::SetTooltips);
  if (textCase) c.Property("WordWrap", &TCustomDBEditEh::WordWrap, &TCustomDBEditEh::SetWordWrap);
  c.Property("DataField", &TCustomDBEditEh::DataField, &TCustomDBEditEh::SetDataField);
  c.Property("DataSource", &TCustomDBEditEh::DataSource, &TCustomDBEditEh::SetDataSource);
  c.Property("DynProps", &TCustomDBEditEh::DynProps, &TCustomDBEditEh::SetDynProps);
  c.Property("EditButton", &TCustomDBEditEh::EditButton, &TCustomDBEditEh::SetEditButton);
  c.Property("EditButtons", &TCustomDBEditEh::EditButtons, &TCustomDBEditEh::SetEditButtons);
  if (Options & dpoEmptyDataInfo)
    c.Property("EmptyDataInfo", &TCustomDBEditEh::EmptyDataInfo, &TCustomDBEditEh::SetEmptyDataInfo);
  c.Property("Images", &TCustomDBEditEh::Images, &TCustomDBEditEh::SetImages);
  c.Property("EditImage", &TCustomDBEditEh::EditImage, &TCustomDBEditEh::SetEditImage);
  c.Property("MRUList", &TCustomDBEditEh::MRUList, &TCustomDBEditEh::SetMRUList);
  // In-place aware; no default, always stored.
  c.Property("Visible", &TCustomDBEditEh::Visible, &TCustomDBEditEh::SetVisible).StoredIf([](const TObject&) {
    return true;
  });
  c.Property("Alignment", &TCustomDBEditEh::Alignment, &TCustomDBEditEh::SetAlignment)
      .StoredIf([](const TObject& o) { return Mutable<T>(o).IsAlignmentStored(); });
}

template <class T>
void PublishDBEditMask(TClassBuilder<T>& c) {
  c.Property("EditMask", &TCustomDBEditEh::EditMask, &TCustomDBEditEh::SetEditMask)
      .StoredIf([](const TObject& o) { return db_edit_publish::Mutable<T>(o).IsEditMaskStored(); });
}

// Stored only for an unbound editor.
template <class T>
void PublishDBEditText(TClassBuilder<T>& c) {
  using db_edit_publish::Mutable;
  c.Property(
       "Text", [](const T& o) { return Mutable<T>(o).Text(); },
       [](T& o, const std::string& v) { o.SetText(v); })
      .StoredIf([](const TObject& o) {
        return Mutable<T>(o).DataLink()->DataIndependent() && !Mutable<T>(o).Text().empty();
      });
}

// Stored only for an unbound editor holding a value.
template <class T>
void PublishDBEditValue(TClassBuilder<T>& c) {
  using db_edit_publish::Mutable;
  c.Property(
       "Value", [](const T& o) { return Mutable<T>(o).Value(); },
       [](T& o, const Variant& v) { o.SetValue(v); })
      .StoredIf([](const TObject& o) {
        return Mutable<T>(o).DataLink()->DataIndependent() && !Mutable<T>(o).Value().IsNull();
      });
}

template <class T>
void PublishDBEditEvents(TClassBuilder<T>& c) {
  using db_edit_publish::PublishEvent;
  PublishEvent(c, "OnButtonClick", &TCustomDBEditEh::OnButtonClick);
  PublishEvent(c, "OnButtonDown", &TCustomDBEditEh::OnButtonDown);
  PublishEvent(c, "OnCheckDrawRequiredState", &TCustomDBEditEh::OnCheckDrawRequiredState);
  PublishEvent(c, "OnGetImageIndex", &TCustomDBEditEh::OnGetImageIndex);
  PublishEvent(c, "OnUpdateData", &TCustomDBEditEh::OnUpdateData);
}
