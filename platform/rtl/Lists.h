#pragma once
// Lists of the runtime library: TList (untyped pointers), TObjectList (objects, optionally
// owned), and the string lists TStrings / TStringList with their text forms.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Object.h"

class TStream;

// --- TList -----------------------------------------------------------------------------------

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Answers <0, 0 or >0, as Item1 sorts before, with or after Item2.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

// Index errors raise EListError "List index out of bounds (%d)".
class TList : public TObject {
  RTL_CLASS(TList, TObject)
 public:
  TList() = default;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Answers the index the item had, or -1 when it was not in the list.
  int Remove(void* Item);
  // Takes the item out without the lnDeleted notification; answers it, or nullptr.
  void* Extract(void* Item);
  virtual void Clear();
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  // Removes the nil entries.
  void Pack();
  // Stable; the compare function sees the items, not their indexes.
  void Sort(const TListSortCompare& Compare);

  int Count() const { return static_cast<int>(items_.size()); }
  // Growing adds nil entries; shrinking deletes (and notifies) the entries past the end.
  void SetCount(int NewCount);
  int Capacity() const { return capacity_; }
  // EListError "List capacity out of bounds (%d)" below Count or past the list's limit.
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItem(int Index, void* Item);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  const std::vector<void*>& List() const { return items_; }

 protected:
  // Told after an item came in (lnAdded) or went out (lnExtracted, lnDeleted); nil items
  // are not notified.
  virtual void Notify(void* Ptr, TListNotification Action) {}
  [[noreturn]] static void IndexError(int Index);

 private:
  std::vector<void*> items_;
  int capacity_ = 0;
};

// A list of objects that frees them on Delete, Remove, Clear and destruction while
// OwnsObjects (the default); Extract hands an object back without freeing it.
class TObjectList : public TList {
  RTL_CLASS(TObjectList, TList)
 public:
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : ownsObjects_(AOwnsObjects) {}
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItem(int Index, TObject* AObject) { TList::SetItem(Index, AObject); }
  TObject* First() const { return Items(0); }
  TObject* Last() const { return Items(Count() - 1); }
  // The first index at or after AStartAt of an object of class AClass (exactly, or a
  // descendant unless AExact); -1 when there is none.
  int FindInstanceOf(TClass AClass, bool AExact = true, int AStartAt = 0) const;

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool Value) { ownsObjects_ = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool ownsObjects_ = true;
};

// --- TStrings --------------------------------------------------------------------------------

// The abstract list of strings, each with an associated object. Text forms: Text (lines
// ending in CR LF), CommaText and DelimitedText (quoted items), and "name=value" lines.
class TStrings : public TPersistent {
  RTL_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  virtual int Count() const = 0;
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  virtual void Put(int Index, const std::string& S);
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObject(int Index, TObject* AObject) { PutObject(Index, AObject); }

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(TObject* AObject) const;
  // Same count and the same strings, byte for byte.
  bool Equals(TStrings* Strings) const;

  // Copies the strings and objects of another TStrings (and its delimiter settings).
  void Assign(TPersistent* Source) override;
  // Streams the strings in descriptions as the property "Strings" (a list of strings);
  // defined with component streaming (ComponentStreaming.cpp).
  void DefineProperties(TFiler& Filer) override;

  // Change brackets: while UpdateCount() > 0 the list reports no changes; the outermost
  // BeginUpdate and EndUpdate call SetUpdateState(true / false).
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Every line followed by CR LF. SetText splits at CR LF, CR and LF; a final line break
  // does not add an empty line.
  std::string Text() const;
  virtual void SetText(const std::string& Value);
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  // Items joined by Delimiter; an item holding the delimiter, the quote character or (unless
  // StrictDelimiter) a blank or control character is quoted with QuoteChar, inner quotes
  // doubled. Parsing splits at delimiters and (unless StrictDelimiter) blanks outside quotes.
  std::string DelimitedText() const;
  void SetDelimitedText(const std::string& Value);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char Value) { delimiter_ = Value; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char Value) { quoteChar_ = Value; }
  bool StrictDelimiter() const { return strictDelimiter_; }
  void SetStrictDelimiter(bool Value) { strictDelimiter_ = Value; }
  char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(char Value) { nameValueSeparator_ = Value; }

  // "name=value" lines. Names compare as the list compares strings.
  std::string Names(int Index) const;
  std::string Values(const std::string& Name) const;
  // Replaces or adds the line; an empty value removes it.
  void SetValue(const std::string& Name, const std::string& Value);
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);

  // The text as UTF-8 without a byte order mark. Loading accepts a UTF-8 or UTF-16LE byte
  // order mark and replaces the contents.
  virtual void SaveToStream(TStream* Stream) const;
  virtual void LoadFromStream(TStream* Stream);
  void SaveToFile(const std::string& FileName) const;
  void LoadFromFile(const std::string& FileName);

 protected:
  virtual std::string Get(int Index) const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void PutObject(int Index, TObject* AObject) {}
  virtual void SetUpdateState(bool Updating) {}
  // The comparison used by IndexOf and IndexOfName: AnsiCompareText by default.
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void IndexError(int Index);

 private:
  int updateCount_ = 0;
  char delimiter_ = ',';
  char quoteChar_ = '"';
  char nameValueSeparator_ = '=';
  bool strictDelimiter_ = false;
};

// --- TStringList ---------------------------------------------------------------------------------

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

// Index errors raise EStringListError "List index out of bounds (%d)".
class TStringList : public TStrings {
  RTL_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  // When owning, Delete, Clear and destruction free the associated objects.
  explicit TStringList(bool AOwnsObjects) : ownsObjects_(AOwnsObjects) {}
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  // Sorted lists raise EStringListError "Operation not allowed on sorted list".
  void Put(int Index, const std::string& S) override;
  // In a sorted list the string goes to its sorted place, subject to Duplicates (dupError
  // raises EStringListError "String list does not allow duplicates"); dupIgnore answers
  // the index of the string already there.
  int Add(const std::string& S) override { return AddObject(S, nullptr); }
  int AddObject(const std::string& S, TObject* AObject) override;
  void Insert(int Index, const std::string& S) override { InsertObject(Index, S, nullptr); }
  void InsertObject(int Index, const std::string& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  int IndexOf(const std::string& S) const override;
  // Binary search of a sorted list: true when found; Index is the match or the place the
  // string would go. With dupAccept the first of equal strings is found.
  virtual bool Find(const std::string& S, int& Index) const;
  virtual void Sort();
  // Sorts with Compare (stably); does nothing to a Sorted list, whose order is fixed.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool Value) { ownsObjects_ = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;
  // Fire OnChanging / OnChange unless an update is in progress.
  virtual void Changing();
  virtual void Changed();
  virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

 private:
  struct Item {
    std::string S;
    TObject* Obj = nullptr;
  };
  void CheckIndex(int Index) const;
  static int CompareItems(TStringList* List, int Index1, int Index2);
  void SortBy(const TStringListSortCompare& Compare);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TDuplicates duplicates_ = dupIgnore;
};
