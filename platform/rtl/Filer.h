#pragma once
// Streaming of components: the binary description form (signature "TPF0"), its readable text
// form, and loading a description into an existing root component.
//
// A description holds one root component: an optional flags prefix, the class name and the
// component name, its properties (name, value) up to a 0 byte, then its child components up
// to a 0 byte. Values start with a TValueType tag. Readers treat every stream as untrusted:
// malformed input raises EReadError (EClassNotFound for unknown classes), never more.
#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

// The value tags of the binary form, in the stream's numbering.
enum TValueType : uint8_t {
  vaNull = 0,  // also ends lists, property lists and child lists
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
  vaDouble = 21
};

// Component header flags; in the stream as a prefix byte 0xF0 | flags.
enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag, 8>;

// Malformed text form: "<message> on line N".
class EParserError : public Exception {
 public:
  explicit EParserError(std::string m) : Exception(std::move(m)) {}
};

class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// The part readers and writers share: the stream, the root being streamed and the hooks
// that TPersistent::DefineProperties calls to stream data that is not published.
class TFiler : public TObject {
  RTL_CLASS(TFiler, TObject)
 public:
  TFiler(TStream& Stream, int BufSize);

  // A property streamed by callbacks. A reader runs ReadData when the stream holds a
  // property of this name; a writer runs WriteData (after writing the name) when HasData.
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                              const TWriterProc& WriteData, bool HasData) = 0;
  // A property streamed as a block of bytes (vaBinary): ReadData gets a memory stream
  // holding the bytes at position 0; WriteData writes them into a memory stream.
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;

  TStream& Stream() const { return stream_; }
  TComponent* Root() const { return root_; }
  virtual void SetRoot(TComponent* Value) { root_ = Value; }
  // The component that handler names and component names are relative to: the root, or an
  // inline component while its part is streamed.
  TComponent* LookupRoot() const { return lookupRoot_; }
  // The object the one being written is compared with: only differing values are written.
  // A DefineProperties' HasData consults it. Always nullptr while reading.
  TPersistent* Ancestor() const { return ancestor_; }
  void SetAncestor(TPersistent* Value) { ancestor_ = Value; }
  bool IgnoreChildren() const { return ignoreChildren_; }
  void SetIgnoreChildren(bool Value) { ignoreChildren_ = Value; }

 protected:
  TStream& stream_;
  int bufSize_;
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
  TPersistent* ancestor_ = nullptr;
  bool ignoreChildren_ = false;
};

// Reads values and components from a binary description.
class TReader : public TFiler {
  RTL_CLASS(TReader, TFiler)
 public:
  TReader(TStream& Stream, int BufSize = 4096);
  // Gives the read-ahead back: the stream is left right after the last value read.
  ~TReader() override;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

  // --- values. A value of the wrong kind raises EReadError "Invalid property value". ---
  TValueType ReadValue();
  TValueType NextValue();  // peeks
  void CheckValue(TValueType Value);
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  int32_t ReadInteger();  // vaInt8, vaInt16, vaInt32
  Int64 ReadInt64();      // also vaInt64
  // vaString, vaLString, vaUTF8String (UTF-8) or vaWString (converted from UTF-16).
  std::string ReadString();
  std::u16string ReadWideString();
  bool ReadBoolean();
  // vaIdent, and vaFalse/vaTrue/vaNil/vaNull as "False"/"True"/"nil"/"Null".
  std::string ReadIdent();
  Extended ReadFloat();  // any float or integer value
  Single ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  // vaNil -> Empty, vaNull -> Null, vaList -> an array of varVariant, integers by size.
  Variant ReadVariant();
  char ReadChar();
  std::string ReadStr();  // a length byte and the bytes, as names are stored
  void SkipValue();
  // Raw bytes; EReadError "Stream read error" when the stream ends first.
  void Read(void* Buffer, int64_t Count);
  int64_t Position();
  void SetPosition(int64_t Value);
  void ReadSignature();  // EReadError "Invalid stream format" unless "TPF0"
  void ReadPrefix(TFilerFlags& Flags, int& AChildPos);

  // --- components ---
  // Clears the collection and reads its items; the vaCollection tag is already read.
  void ReadCollection(TCollection* Collection);
  // Reads one component header and body. With nullptr the component is created (owned by
  // Owner(), parented by Parent()); a component flagged inherited is looked up by name.
  TComponent* ReadComponent(TComponent* Component);
  // Reads a whole description: signature, root (created when nullptr), children; then
  // resolves component references and calls Loaded on every component read (the root last).
  // On failure frees the components it created (the root too when it created it).
  TComponent* ReadRootComponent(TComponent* Root);
  // The properties and the children of Instance (TComponent::ReadState calls it).
  void ReadData(TComponent* Instance);

  TComponent* Owner() const { return owner_; }
  void SetOwner(TComponent* Value) { owner_ = Value; }
  TComponent* Parent() const { return parent_; }
  void SetParent(TComponent* Value) { parent_ = Value; }

  // Class lookup: this event first, then GetClass, then the root's own class.
  TEvent<void(TReader* Reader, const std::string& ClassName, TClass& ComponentClass)> OnFindComponentClass;
  // May supply the component instead of the virtual constructor.
  TEvent<void(TReader* Reader, TClass ComponentClass, TComponent*& Component)> OnCreateComponent;
  // Offered a failure in one property or component; Handled skips it and reading goes on.
  TEvent<void(TReader* Reader, const std::string& Message, bool& Handled)> OnError;
  // May supply (or refuse with Error) the handler an event property names.
  TEvent<void(TReader* Reader, const std::string& MethodName, std::any& Handler, bool& Error)> OnFindMethod;

 protected:
  virtual bool Error(const std::string& Message);
  virtual TClass FindComponentClass(const std::string& ClassName);

 private:
  struct State;
  // One level deeper for the length of a component, list or collection; raises past the bound.
  TCounterScope<int> Nest();

  uint8_t PeekByte();
  bool FillBuffer();
  void CheckRemaining(int64_t Count);
  [[noreturn]] void FormatError();
  [[noreturn]] void ReadError();
  [[noreturn]] void LimitError(const char* What);
  [[noreturn]] void PropValueError();
  int32_t ReadLength(int64_t UnitSize, int64_t Limit);
  Variant ReadVariantValue(bool InList);

  void ReadProperty(TPersistent* Instance);
  void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
  void ReadDataInner(TComponent* Instance);
  void SkipComponent(bool SkipHeader);
  void SkipProperty();
  std::any FindMethodHandler(const std::string& Name);
  void AddFixup(TPersistent* Instance, const TPropInfo* Prop, const std::string& Name);
  void RemoveFixup(TPersistent* Instance, const TPropInfo* Prop);
  void DropItemFixups(TCollection* Collection);
  void ResolveFixups();
  void Created(TComponent* Component);
  void Forget(TComponent* Component);

  std::vector<uint8_t> buf_;
  int64_t bufPos_ = 0;
  int64_t bufEnd_ = 0;
  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  std::string propName_;  // the property DefineProperty answers to; "" once read
  bool fatal_ = false;    // the stream is out of step: no error is recoverable any more
  int depth_ = 0;
  int64_t items_ = 0;
  std::unique_ptr<State> st_;
};

// Writes values and components in the binary description form.
class TWriter : public TFiler {
  RTL_CLASS(TWriter, TFiler)
 public:
  TWriter(TStream& Stream, int BufSize = 4096);
  // Writes what is buffered; errors are lost here, so callers that care call FlushBuffer.
  ~TWriter() override;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

  void FlushBuffer();
  int64_t Position() const;
  void Write(const void* Buffer, int64_t Count);
  void WriteValue(TValueType Value);
  void WriteInteger(int32_t Value);            // the smallest of vaInt8/16/32
  void WriteInt64(Int64 Value);                // the same, vaInt64 beyond 32 bits
  void WriteString(const std::string& Value);  // vaString up to 255 bytes, else vaLString
  void WriteWideString(const std::u16string& Value);
  void WriteBoolean(bool Value);
  // vaIdent; "False", "True", "nil" and "Null" as their own tags.
  void WriteIdent(const std::string& Ident);
  void WriteFloat(Extended Value);  // vaExtended: the 10 bytes of the x87 format
  void WriteSingle(Single Value);
  void WriteCurrency(Currency Value);
  void WriteDate(TDateTime Value);
  // EWriteError "Invalid variant type" for types a description cannot hold.
  void WriteVariant(const Variant& Value);
  void WriteChar(char Value);
  void WriteStr(const std::string& Value);  // a length byte and up to 255 bytes
  void WriteListBegin();
  void WriteListEnd();
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, int AChildPos);

  void WriteCollection(TCollection* Value);
  // Whether A (against this writer's root) and B (against the root's ancestor) write alike: how
  // a stored collection is compared with its ancestor's.
  bool CollectionsEqual(TCollection* A, TCollection* B);
  void WriteComponent(TComponent* Component);
  void WriteRootComponent(TComponent* Root);
  // Writes Root with only the values that differ from Ancestor (nullptr: from the defaults).
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  // The properties and children of Instance (TComponent::WriteState calls it).
  void WriteData(TComponent* Instance);
  // Published properties (those that differ from Ancestor()) and DefineProperties.
  void WriteProperties(TPersistent* Instance);
  TComponent* RootAncestor() const { return rootAncestor_; }

 private:
  void WritePropName(const std::string& Name);
  void WriteProperty(TPersistent* Instance, const TPropInfo* Prop);
  void WriteMethodProp(TPersistent* Instance, const TPropInfo* Prop);
  void WriteObjectProp(TPersistent* Instance, const TPropInfo* Prop);
  std::string ComponentRefName(TComponent* Component, TComponent* Root) const;
  std::string MethodName(const TMethodRef& Method, TComponent* Root) const;

  std::vector<uint8_t> out_;  // not yet written to the stream
  int64_t flushed_ = 0;       // stream position of out_[0]
  int hold_ = 0;              // > 0: out_ may be cut back, so it is not flushed
  std::string propPath_;      // "Font." while the properties of a sub-object are written
  TComponent* rootAncestor_ = nullptr;
  std::vector<TComponent*> ancestorList_;
  size_t ancestorPos_ = 0;
  int childPos_ = 0;
  bool hasAncestorList_ = false;
};

// Loaded for every component read while a global loading is open is deferred until
// NotifyGlobalLoading, so that several descriptions read into one root (an ancestor's, then
// the descendant's) are complete before any Loaded runs.
void BeginGlobalLoading();
void NotifyGlobalLoading();
void EndGlobalLoading();

// --- text form ---------------------------------------------------------------------------
// Converts one description from the binary form to the text form (UTF-8) and back. The text
// form of anything the writer produces converts back to the same bytes.
void ObjectBinaryToText(TStream& Input, TStream& Output);
void ObjectTextToBinary(TStream& Input, TStream& Output);  // EParserError on malformed text

// --- loading descriptions into existing roots ----------------------------------------------
// The description's root class must be Root's class or one of its ancestors.
void ReadComponentFromText(const std::string& Text, TComponent* Root);
void ReadComponentFromBinary(TStream& Stream, TComponent* Root);
// The window description (text form) of the root class ClassName.
void RegisterDescription(const std::string& ClassName, const std::string& Text);
void UnregisterDescription(const std::string& ClassName);
// Loads the registered descriptions of Root's class and its ancestors, ancestors first;
// false when none is registered.
bool InitInheritedComponent(TComponent* Root);
