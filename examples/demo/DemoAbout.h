#pragma once
// The About dialog of the Help menu: the program's icon, name and a line on what it shows,
// and an OK button; shown modally.
class TComponent;
class TForm;

inline constexpr char kDemoAboutCaption[] = "关于 账户";

// A new About dialog owned by Owner, not yet shown.
TForm* CreateDemoAboutForm(TComponent* Owner);
