#pragma once
// The names a mirrored window carries on the X server (HostWindowNames.cpp), the part its tests
// reach without X11.
#include <string>

namespace host_internal {

// The names of WM_CLASS: the program's name as the instance (RESOURCE_NAME when set, as X
// programs take it, else the base name of `program`), and the class that name capitalised.
struct TWindowClassNames {
  std::string Instance;
  std::string Class;
};
TWindowClassNames WindowClassNames(const std::string& program, const char* resourceName);

}  // namespace host_internal
