// The About dialog.
#include "examples/demo/DemoAbout.h"

#include "examples/demo/DemoIcon.h"
#include "examples/demo/DemoSupport.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

TForm* CreateDemoAboutForm(TComponent* Owner) {
  auto* form = new TForm(Owner, 0);
  form->SetCaption(kDemoAboutCaption);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetClientWidth(320);
  form->SetClientHeight(132);
  auto* image = Place<TImage>(form, 16, 16, kDemoIconSize, kDemoIconSize);
  image->Picture()->SetIcon(DemoIcon());
  auto* name = Place<TLabel>(form, 64, 16, 240, 20);
  name->SetCaption("账户");
  name->Font()->SetStyle(TFontStyles{fsBold});
  auto* line = Place<TLabel>(form, 64, 42, 240, 16);
  line->SetCaption("收入与支出的账目、表格与皮肤。");
  auto* version = Place<TLabel>(form, 64, 62, 240, 16);
  version->SetCaption("版本 1.0");
  auto* ok = Place<TButton>(form, 120, 94, 80, 25);
  ok->SetCaption("确定");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  ok->SetCancel(true);
  return form;
}
