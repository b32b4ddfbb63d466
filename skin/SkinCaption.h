#pragma once
// TSkinCaption: while active, every skinned form's caption text is drawn by the one hidden
// TEnumCaption: the caption font and colours of the skin, the title element's alignment, text
// background and clipping, right to left. TSkinCaption instances only switch it on and off; the
// Active value is shared by all of them (the last write wins).
//
// The form's caption strip calls the painter after it has drawn the Top element and laid out
// its buttons, and draws the buttons after it (TSkinCaptionPaint in WinSkinForm.h).
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Geometry.h"
#include "skin/WinSkinForm.h"

class TCanvas;
class TTimer;
class TSkinData;

class TSkinCaption : public TComponent {
  RTL_CLASS(TSkinCaption, TComponent)
 public:
  explicit TSkinCaption(TComponent* AOwner);
  ~TSkinCaption() override;
  static void DescribeClass(TClassBuilder<TSkinCaption>& c);

  // --- published ---
  bool Active() const;
  void SetActive(bool Value);
  // Always the component's fixed text; writing restores it.
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& Value);
  // Always empty.
  std::string Version() const { return {}; }
  void SetVersion(const std::string&) {}

  void Loaded() override;

 private:
  std::string author_;
};

// The one painter of the process, made by InitSkinCaptionUnit.
class TEnumCaption : public TComponent {
  RTL_CLASS(TEnumCaption, TComponent)
 public:
  explicit TEnumCaption(TComponent* AOwner);
  // Clears the shared Active and stops the timer.
  ~TEnumCaption() override;

  // Installs (On) or removes the painter on every form of the manager; Reframe makes each
  // recompute its frame unless a paint runs.
  void InstallOnAll(bool On, bool Reframe);
  void Install(TWinSkinForm& Form);
  void Remove(TWinSkinForm& Form);
  // Asks for the 10 ms timer: it starts when wanted, no tick runs and it is not running yet.
  void RequestTimer(bool Want);
  void TimerTick(TObject* Sender);
  // The painter: lays out the caption buttons by the caption's rules and draws the text.
  void PaintCaption(TWinSkinForm& Form, TCanvas& Strip);
  // The text rectangle of one form's caption (window coordinates), as the painter places it.
  TRect TextRect(TWinSkinForm& Form, TCanvas& Strip, const std::string& Text);

  int LeftFrame = 0, RightFrame = 0, TopFrame = 0, BottomFrame = 0;
  int ButtonBand = 0;  // start of the right-aligned buttons
  bool Busy = false;
  bool Wanted = false;
  bool RightToLeft = false;
  bool UnicodeClass = false;
  LONG_PTR Style = 0, ExStyle = 0;
  std::unique_ptr<TTimer> Timer;

 private:
  // SkinCaption.cpp's own helpers.
  // The skin data's OnFormSkin while installed: asks for the timer, never vetoes.
  void FormSkin(TObject* Sender, const std::string& aName, bool& DoSkin);
  // The four frame sizes of the form (0 for border kind none).
  void MeasureFrames(TWinSkinForm& Form);
  // The caption's own placement of the visible buttons; sets ButtonBand.
  void LayoutButtons(TWinSkinForm& Form, int CaptionHeight);
  // The window text (else the form control's), padded two spaces before and one after.
  std::string CaptionText(TWinSkinForm& Form) const;
  // Text background and text; stores the text rectangle on the form.
  void DrawCaptionText(TWinSkinForm& Form, TCanvas& Strip);
};

// The shared state of the unit.
bool SkinCaptionActive();
TEnumCaption* EnumCaption();

// Makes the TEnumCaption and registers TSkinCaption for descriptions; a repeat is harmless.
void InitSkinCaptionUnit();
void FinalizeSkinCaptionUnit();
