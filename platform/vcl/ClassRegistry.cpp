// Makes every class of the class library findable by name, so window descriptions can
// create any of them. Registering is idempotent; InitVcl calls this once per start.
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/MPlayer.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdActns.h"
#include "platform/vcl/StdCtrls.h"

void RegisterVclClasses() {
  RegisterControlClasses();
  RegisterStdControls();
  RegisterExtCtrlsClasses();
  RegisterButtonsClasses();
  RegisterComCtrlsClasses();
  RegisterMaskClasses();
  RegisterMenuClasses();
  RegisterMPlayerClasses();
  RegisterActionClasses();
  RegisterStdActionClasses();
  RegisterClasses(
      {TImageList::StaticClass(), TForm::StaticClass(), TFrame::StaticClass(), TDataModule::StaticClass()});
}
