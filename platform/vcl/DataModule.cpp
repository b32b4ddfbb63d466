// TDataModule: a non-visual container loaded from its window description.
#include "platform/rtl/Filer.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"

RTL_IMPLEMENT_CLASS(TDataModule)

TDataModule::TDataModule(TComponent* AOwner) : TDataModule(AOwner, 0) {
  withDescription_ = true;
}

TDataModule::TDataModule(TComponent* AOwner, int Dummy) : TComponent(AOwner) {
  (void)Dummy;
  InitVcl();
  if (Screen) Screen->AddDataModule(this);
}

TDataModule::~TDataModule() {
  if (!destroyed_) {
    destroyed_ = true;
    DoDestroy();
  }
  if (Screen) Screen->RemoveDataModule(this);
}

void TDataModule::AfterConstruction() {
  if (constructed_) return;
  constructed_ = true;
  if (withDescription_ && ClassType() != TDataModule::StaticClass() && !InitInheritedComponent(this))
    throw EResNotFound(Format("Resource %s not found", {ClassName()}));
  DoCreate();
}

void TDataModule::BeforeDestruction() {
  if (!destroyed_) {
    destroyed_ = true;
    DoDestroy();
  }
  if (Screen) Screen->RemoveDataModule(this);
  inherited::BeforeDestruction();
}

void TDataModule::DoCreate() {
  try {
    OnCreate(this);
  } catch (const EWaitForever&) {
    throw;
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TDataModule::DoDestroy() {
  try {
    OnDestroy(this);
  } catch (const EWaitForever&) {
    throw;
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TDataModule::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  (void)Root;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
}

void TDataModule::DescribeClass(TClassBuilder<TDataModule>& c) {
  c.Property(
      "OldCreateOrder", [](const TDataModule&) { return false; }, [](TDataModule&, bool) {});
  c.Property("OnCreate", &TDataModule::OnCreate,
             [](TDataModule& m, const TNotifyEvent& e) { m.OnCreate = e; });
  c.Property("OnDestroy", &TDataModule::OnDestroy,
             [](TDataModule& m, const TNotifyEvent& e) { m.OnDestroy = e; });
}
