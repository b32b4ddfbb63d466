#include "grid/editors/EditorsRegistryEh.h"

#include "grid/data/MemTableDataEh.h"
#include "grid/editors/DBCheckBoxEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/DBDateTimeEditEh.h"
#include "grid/editors/DBEditEh.h"
#include "grid/editors/DBNumberEditEh.h"

void RegisterGridEditorClasses() {
  RegisterDBEditClasses();
  RegisterDBDateTimeEditClasses();
  RegisterDBComboBoxClasses();
  RegisterDBNumberEditClasses();
  RegisterDBCheckBoxClasses();
  RegisterMemTableDataClasses();
}
