#pragma once
// The month calendar that the date editors drop down.
#include "platform/vcl/ComCtrls.h"

// A pop-up month calendar: no tab stop, takes no focus from its editor on a click, framed
// raised outside and sunken inside, and sized to show one whole month.
class TPopupMonthCalendarEh : public TMonthCalendar {
  RTL_CLASS(TPopupMonthCalendarEh, TMonthCalendar)
 public:
  explicit TPopupMonthCalendarEh(TComponent* AOwner);

  // The calendar's minimum required rectangle plus the frame.
  TSize GetRequiredSize();
  // Sizes the calendar to GetRequiredSize (creates the window).
  void UpdateSize();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

  // A day picked with the mouse (the calendar's selection notice): the editor that dropped the
  // calendar closes it, accepting the day.
  TNotifyEvent OnDayPicked;

 protected:
  void Dispatch(TMessage& Message) override;
  void CNNotify(TMessage& Message) override;
};
