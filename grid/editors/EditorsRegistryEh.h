#pragma once
// Registers every class of the editors layer (editors, the parts they own and the in-memory
// table's streamed classes) so that window descriptions can create them. Call once after
// InitVcl(); calling again does no harm.
void RegisterGridEditorClasses();
