#pragma once
// The field tests' fixture: a test data set with one persistent field.
#include <string>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "tests/platform/db/TestDataSet.h"

namespace field_test {

// A data set named "Data" with one persistent field "F" of the given type (owned by the data
// set, so it outlives Close). Open() appends a record, so that values can be written at once.
struct OneField {
  explicit OneField(TFieldType Type, int Size = 0) : data(new dbtest::TTestDataSet(nullptr)) {
    data->SetName("Data");
    data->AddColumn("F", Type, Size);
    TField* f = CreateFieldForType(Type, data);
    if (Size != 0) f->SetSize(Size);
    f->SetFieldName("F");
    f->SetDataSet(data);
  }
  ~OneField() { delete data; }
  OneField(const OneField&) = delete;
  OneField& operator=(const OneField&) = delete;

  // Opens and appends a record.
  TField* Open() {
    data->Open();
    data->Append();
    return Field();
  }
  TField* Field() const { return data->FieldByName("F"); }

  dbtest::TTestDataSet* data;
};

}  // namespace field_test
