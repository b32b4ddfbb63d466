// Fuzz target for two readers of untrusted input in the class library: graphics from streams
// and edit masks. The input is a flags byte, a length byte n, n bytes of "<mask>\n<keys>" and
// the rest an image stream. The stream is loaded as a bitmap, as an icon and as a picture; a
// refusal must be a library exception, an accepted graphic must have a size, draw, and survive
// a save and a second load with the same size. The mask is parsed and the keys (typed
// characters, backspace, delete, caret moves, pastes) applied to its edit text, which must
// stay well formed after every step.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/MaskUtils.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// The loaded graphic's size, drawn and saved and loaded again into a fresh one of its class.
template <class G>
void CheckGraphic(G& graphic, TBitmap& target) {
  if (graphic.Empty()) return;
  if (graphic.Width() <= 0 || graphic.Height() <= 0) Fail("a loaded graphic has no size");
  if (static_cast<int64_t>(graphic.Width()) * graphic.Height() > 512 * 512) return;  // keep runs cheap
  target.Canvas()->Draw(1, 1, &graphic);
  target.Canvas()->StretchDraw(TRect{0, 0, 7, 5}, &graphic);
  TMemoryStream saved;
  graphic.SaveToStream(&saved);
  saved.SetPosition(0);
  G again;
  again.LoadFromStream(&saved);
  if (again.Width() != graphic.Width() || again.Height() != graphic.Height())
    Fail("a saved graphic reads back in another size");
}

template <class G>
void LoadGraphic(const std::string& bytes, TBitmap& target) {
  TStringStream stream(bytes);
  G graphic;
  try {
    graphic.LoadFromStream(&stream);
  } catch (const Exception&) {
    return;
  }
  CheckGraphic(graphic, target);
}

void LoadPicture(const std::string& bytes, TBitmap& target) {
  TStringStream stream(bytes);
  TPicture picture;
  try {
    picture.LoadFromStream(&stream);
  } catch (const Exception&) {
    return;
  }
  if (picture.Graphic() && !picture.Graphic()->Empty()) {
    if (picture.Width() <= 0 || picture.Height() <= 0) Fail("a loaded picture has no size");
    if (static_cast<int64_t>(picture.Width()) * picture.Height() <= 512 * 512)
      target.Canvas()->Draw(0, 0, picture.Graphic());
  }
}

// `typed`: the text holds only characters its positions accept (Normalize lays out any text).
void CheckEditText(const TEditMaskModel& model, const std::u32string& text, int selStart, int selStop,
                   bool typed) {
  if (static_cast<int>(text.size()) != model.Count()) Fail("the edit text lost its length");
  if (selStart < 0 || selStart > model.Count() || selStop != selStart) Fail("the caret left the text");
  for (int i = 0; i < model.Count(); ++i)
    if (model.IsLiteral(i) && text[i] != model.MaskChar(i)) Fail("a literal position was overwritten");
  if (model.Normalize(text) != text) Fail("a well-formed edit text changed when normalised");
  // The text of an edit text, laid out again, shows the same text.
  const std::u32string shown = model.ToText(text);
  if (typed && model.ToText(model.FromText(shown)) != shown) Fail("Text does not survive FromText");
  model.FirstInvalid(text);
  model.InputChars(text);
}

void RunMask(const std::string& mask, const std::u32string& keys) {
  const std::string value = MaskFromCodePoints(keys);
  FormatMaskText(mask, value);
  MaskDoFormatText(mask, value, U'_');
  PadInputLiterals(mask, value, U'*');
  MaskGetFldSeparator(mask);
  const int length = static_cast<int>(MaskToCodePoints(mask).size());
  // Each of these walks the mask from its start: a few offsets keep long masks cheap.
  for (int i = 0; i <= length + 1; i += std::max(1, length / 8)) {
    MaskGetCharType(mask, i);
    MaskGetCurrentDirectives(mask, i);
    MaskOffsetToOffset(mask, i);
    OffsetToMaskOffset(mask, i - 1);
    IsLiteralChar(mask, i - 1);
  }

  const TEditMaskModel model(mask);
  if (!model.IsMasked()) return;
  std::u32string text = model.EmptyText();
  int selStart = 0, selStop = 0;
  CheckEditText(model, text, selStart, selStop, true);
  for (size_t k = 0; k < keys.size(); ++k) {
    const char32_t key = keys[k];
    switch (key) {
      case U'\b':
        model.Backspace(text, selStart, selStop);
        break;
      case 0x7f:
        model.DeleteChar(text, selStart, selStop);
        break;
      case 0x01:  // the next key places the caret or, as a second number, the selection
      case 0x02: {
        if (++k == keys.size()) break;
        const int at = static_cast<int>(keys[k] % static_cast<char32_t>(model.Count() + 1));
        if (key == 0x01)
          selStart = selStop = at;
        else
          selStop = std::max(selStart, at);
        if (key == 0x02) {
          model.BlankRange(text, selStart, selStop);
          selStop = selStart;
        }
        break;
      }
      case 0x16:  // paste the remaining keys
        model.Paste(text, selStart, selStop, keys.substr(k + 1));
        k = keys.size();
        break;
      default:
        model.InputChar(text, selStart, selStop, key);
        break;
    }
    CheckEditText(model, text, selStart, selStop, true);
  }
  // The text laid out from input characters alone and from a text of any length.
  CheckEditText(model, model.FromInputChars(keys), 0, 0, false);
  CheckEditText(model, model.Normalize(keys), 0, 0, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 64 * 1024) return 0;
  TFormatSettings locale;
  if (data[0] & 1) {
    locale.DateSeparator = "/";
    locale.TimeSeparator = "時";
  }
  TFormatSettingsScope scope(locale);
  const size_t maskBytes = std::min<size_t>(data[1], size - 2);
  const std::string maskPart(reinterpret_cast<const char*>(data + 2), maskBytes);
  const std::string image(reinterpret_cast<const char*>(data + 2 + maskBytes), size - 2 - maskBytes);

  const size_t newline = maskPart.find('\n');
  RunMask(maskPart.substr(0, newline),
          newline == std::string::npos ? std::u32string() : MaskToCodePoints(maskPart.substr(newline + 1)));

  TBitmap target;
  target.SetSize(16, 16);
  LoadGraphic<TBitmap>(image, target);
  LoadGraphic<TIcon>(image, target);
  LoadPicture(image, target);
  return 0;
}
