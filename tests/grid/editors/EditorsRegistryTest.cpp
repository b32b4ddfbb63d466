// The editors layer registers its classes in one call, so window descriptions can name them.
#include <gtest/gtest.h>

#include "grid/editors/EditorsRegistryEh.h"
#include "platform/rtl/Object.h"

TEST(EditorsRegistry, EveryEditorClassCanBeFoundByName) {
  RegisterGridEditorClasses();
  RegisterGridEditorClasses();  // a second call is harmless
  for (const char* name :
       {"TDBEditEh", "TDBDateTimeEditEh", "TDBComboBoxEh", "TDBNumberEditEh", "TDBCheckBoxEh",
        "TMemTableDataEh", "TEditImageEh", "TControlEmptyDataInfoEh", "TEditToolTipsWindowEh"}) {
    SCOPED_TRACE(name);
    TClass c = GetClass(name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Name, name);
  }
}
