// The streaming hooks of the component model: components read and write their state through
// the filer, streams read and write whole descriptions, and string lists stream their lines
// as the defined property "Strings".
#include "platform/rtl/Filer.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ScopeGuard.h"

void TComponent::ReadState(TReader& Reader) {
  Reader.ReadData(this);
}

void TComponent::WriteState(TWriter& Writer) {
  Writer.WriteData(this);
}

TComponent* TStream::ReadComponent(TComponent* Instance) {
  TReader reader(*this, 4096);
  return reader.ReadRootComponent(Instance);
}

void TStream::WriteComponent(TComponent* Instance) {
  WriteDescendent(Instance, nullptr);
}

void TStream::WriteDescendent(TComponent* Instance, TComponent* Ancestor) {
  TWriter writer(*this, 4096);
  writer.WriteDescendent(Instance, Ancestor);
  writer.FlushBuffer();
}

void TStrings::DefineProperties(TFiler& Filer) {
  // Against an ancestor the lines are written whenever they differ, even when now empty.
  bool hasData = Count() > 0;
  if (TPersistent* ancestor = Filer.Ancestor()) {
    auto* ancestorStrings = dynamic_cast<TStrings*>(ancestor);
    hasData = !ancestorStrings || !Equals(ancestorStrings);
  }
  Filer.DefineProperty(
      "Strings",
      [this](TReader& Reader) {
        Reader.ReadListBegin();
        {
          BeginUpdate();
          TScopeExit endUpdate([this] { EndUpdate(); });
          Clear();
          while (!Reader.EndOfList()) Add(Reader.ReadString());
        }
        Reader.ReadListEnd();
      },
      [this](TWriter& Writer) {
        Writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i) Writer.WriteString(Strings(i));
        Writer.WriteListEnd();
      },
      hasData);
}
