#include "examples/demo/DemoLanguage.h"

#include "platform/vcl/Dialogs.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinData.h"

void UseDemoLanguage() {
  const struct {
    TMsgDlgBtn button;
    const char* caption;
  } dialogButtons[] = {
      {mbYes, "是(&Y)"},         {mbNo, "否(&N)"},       {mbOK, "确定"},         {mbCancel, "取消"},
      {mbAbort, "中止(&A)"},     {mbRetry, "重试(&R)"},  {mbIgnore, "忽略(&I)"}, {mbAll, "全部(&A)"},
      {mbNoToAll, "全部否(&O)"}, {mbYesToAll, "全部是"}, {mbHelp, "帮助(&H)"},
  };
  for (const auto& b : dialogButtons) SetMsgDlgButtonCaption(b.button, b.caption);
  const struct {
    TMsgDlgType type;
    const char* title;
  } titles[] = {{mtWarning, "警告"}, {mtError, "错误"}, {mtInformation, "信息"}, {mtConfirmation, "确认"}};
  for (const auto& t : titles) SetMsgDlgTitle(t.type, t.title);
  const struct {
    int id;
    const char* caption;
  } boxButtons[] = {
      {IDOK, "确定"},        {IDCANCEL, "取消"},       {IDABORT, "中止(&A)"},
      {IDRETRY, "重试(&R)"}, {IDIGNORE, "忽略(&I)"},   {IDYES, "是(&Y)"},
      {IDNO, "否(&N)"},      {IDTRYAGAIN, "重试(&T)"}, {IDCONTINUE, "继续(&C)"},
  };
  for (const auto& b : boxButtons) SetMessageBoxButtonCaption(b.id, b.caption);
}

std::string DemoSkinLoadError(const std::string& Reason) {
  const struct {
    const char* reason;
    const char* said;
  } known[] = {
      {kSkinFileMissing, "找不到皮肤文件"},        {kSkinFileUnreadable, "无法读取皮肤文件"},
      {kSkinStreamBadLength, "皮肤数据长度无效"},  {kSkinTruncated, "皮肤文件不完整"},
      {kSkinMalformed, "皮肤文件已损坏"},          {kSkinTooLarge, "皮肤文件过大"},
      {kSkinTooManyEntries, "皮肤文件的条目过多"},
  };
  for (const auto& k : known)
    if (Reason == k.reason) return k.said;
  return Reason;
}

std::string DemoSkinName(const std::string& SkinName) {
  if (SkinName == "Light") return "浅色";
  if (SkinName == "Dark") return "深色";
  return SkinName;
}
