#pragma once
// Small persistent objects the axis grid owns and the data grid publishes: the grid line
// parameters, the border object and the tool-tip window of cells.
#include <string>

#include "grid/foundation/GridsEh.h"
#include "platform/vcl/ComCtrls.h"  // TEdgeBorders
#include "platform/vcl/HintWindow.h"

class TCustomDBAxisGridEh;

enum class TDBGridLinesColorSchemeEh { glcsDefaultEh, glcsClassicEh, glcsFlatEh, glcsThemedEh };
using enum TDBGridLinesColorSchemeEh;
RTL_ENUM_INFO(TDBGridLinesColorSchemeEh, "glcsDefaultEh", "glcsClassicEh", "glcsFlatEh", "glcsThemedEh");

// How the space right of the last column is painted. (The misspelt name is the stored one.)
enum class TDrawEmptySpaceStyle { dessNonEh, dessSolidEh, dessGradiendEh };
using enum TDrawEmptySpaceStyle;
RTL_ENUM_INFO(TDrawEmptySpaceStyle, "dessNonEh", "dessSolidEh", "dessGradiendEh");

// Line colours of the data area. clDefault derives a colour from the scheme in use; every
// change repaints the grid.
class TDBAxisGridLineParamsEh : public TGridLineColorsEh {
  RTL_CLASS(TDBAxisGridLineParamsEh, TGridLineColorsEh)
 public:
  explicit TDBAxisGridLineParamsEh(TCustomDBAxisGridEh* AGrid);
  ~TDBAxisGridLineParamsEh() override;
  static void DescribeClass(TClassBuilder<TDBAxisGridLineParamsEh>& c);
  void Assign(TPersistent* Source) override;

  TCustomDBAxisGridEh* AxisGrid() const { return axisGrid_; }

  // The stored own value, else the data grid's default (DefaultDataVertLines).
  bool DataVertLines();
  void SetDataVertLines(bool Value);
  bool DataVertLinesStored() const { return dataVertLinesStored_; }
  // On: freezes the current default as own value; off: reloads the default.
  void SetDataVertLinesStored(bool Value);
  bool DataHorzLines();
  void SetDataHorzLines(bool Value);
  bool DataHorzLinesStored() const { return dataHorzLinesStored_; }
  void SetDataHorzLinesStored(bool Value);
  TColor DataBoundaryColor() const { return dataBoundaryColor_; }
  void SetDataBoundaryColor(TColor Value);
  bool GridBoundaries() const { return gridBoundaries_; }
  void SetGridBoundaries(bool Value);
  TDBGridLinesColorSchemeEh ColorScheme() const { return colorScheme_; }
  void SetColorScheme(TDBGridLinesColorSchemeEh Value);
  TDrawEmptySpaceStyle VertEmptySpaceStyle() const { return vertEmptySpaceStyle_; }
  virtual void SetVertEmptySpaceStyle(TDrawEmptySpaceStyle Value);

  TColor GetDarkColor() override;
  TColor GetBrightColor() override;
  TColor GetDataVertColor() override;
  TColor GetDataHorzColor() override;
  // clDefault: the dark colour when both data line colours are equal (and not clNone), else
  // the darker of the two.
  virtual TColor GetDataBoundaryColor();

  // Hooks of the data grid; this layer raises "Realize ... in an inherited class".
  virtual bool DefaultDataVertLines();
  virtual bool DefaultDataHorzLines();
  virtual TDBGridLinesColorSchemeEh GetActualColorScheme();
  // The border colour of a themed list view, as the theme painter answers it.
  static TColor ThemedListBorderColor();

 protected:
  void Invalidate();

 private:
  TCustomDBAxisGridEh* axisGrid_;
  bool dataVertLines_ = false;
  bool dataVertLinesStored_ = false;
  bool dataHorzLines_ = false;
  bool dataHorzLinesStored_ = false;
  TColor dataBoundaryColor_ = clDefault;
  bool gridBoundaries_ = false;
  TDBGridLinesColorSchemeEh colorScheme_ = glcsDefaultEh;
  TDrawEmptySpaceStyle vertEmptySpaceStyle_ = dessGradiendEh;
};

// The grid's border: its style, 3-D look, and the grid's own drawing of the non-client edges
// in a colour and on chosen sides (extended drawing).
class TControlBorderEh : public TPersistent {
  RTL_CLASS(TControlBorderEh, TPersistent)
 public:
  explicit TControlBorderEh(TCustomDBAxisGridEh* AGrid);
  ~TControlBorderEh() override;
  static void DescribeClass(TClassBuilder<TControlBorderEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  // The stored value while ExtendedDrawStored, else whether the grid needs its own drawing:
  // a flat grid with Ctl3D on, or with Ctl3D off and a colour or edges of its own.
  bool ExtendedDraw() const;
  void SetExtendedDraw(bool Value);
  bool ExtendedDrawStored() const { return extendedDrawStored_; }
  void SetExtendedDrawStored(bool Value);
  // The grid's own BorderStyle and Ctl3D.
  TBorderStyle Style() const;
  void SetStyle(TBorderStyle Value);
  bool Ctl3D() const;
  void SetCtl3D(bool Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders Value);

 private:
  bool DefaultExtendedDraw() const;
  // Refreshes the frame, and recreates the window when the need changed.
  void NeedChanged(bool OldNeed);
  TCustomDBAxisGridEh* grid_;
  bool extendedDraw_ = false;
  bool extendedDrawStored_ = false;
  TColor color_ = clDefault;
  TEdgeBorders edgeBorders_ = AllEdgeBorders();
};

// The tool tip of a cell whose text does not fit; the hint data is the font to show it in.
class TGridToolTipsWindowEh : public THintWindow {
  RTL_CLASS(TGridToolTipsWindowEh, THintWindow)
 public:
  explicit TGridToolTipsWindowEh(TComponent* AOwner);
  ~TGridToolTipsWindowEh() override;
  // AData: a TFont* (or nullptr).
  TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
  void ActivateHintData(TRect Rect, const std::string& AHint, void* AData) override;

 protected:
  void Paint() override;
};

// Registers the settings classes and the tool-tip window for window descriptions.
void RegisterAxisGridSettingsClasses();
