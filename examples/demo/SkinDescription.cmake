# Writes the main form's skin data as a window description: a TSkinData for the whole program,
# active, carrying the packed skin in SkinStream (a 32-bit length, then the file's bytes, as hex).
# cmake -DSKIN=<packed skin> -DOUT=<generated .cpp> -P SkinDescription.cmake
file(READ ${SKIN} bytes HEX)
file(SIZE ${SKIN} size)
set(length "")
foreach(i RANGE 3)
  math(EXPR byte "(${size} >> (8 * ${i})) & 255" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${byte}" 2 -1 byte)
  string(LENGTH "${byte}" digits)
  if(digits EQUAL 1)
    set(byte "0${byte}")
  endif()
  string(APPEND length "${byte}")
endforeach()
string(TOUPPER "${length}${bytes}" hex)
string(REPEAT "[0-9A-F]" 64 line)
string(REGEX REPLACE "(${line})" "    \"    \\1\\\\n\"\n" lines "${hex}")
# What is left after the last whole line of 64 digits.
string(REGEX REPLACE "\n([0-9A-F]+)$" "\n    \"    \\1\\\\n\"\n" lines "${lines}")
if(NOT lines MATCHES "\n$")
  string(REGEX REPLACE "^([0-9A-F]+)$" "    \"    \\1\\\\n\"\n" lines "${lines}")
endif()
file(WRITE ${OUT}.tmp
     "// Written by the build from ${SKIN}.\n"
     "#include \"examples/demo/DemoSkin.h\"\n\n"
     "const char* const kDemoSkinDescription =\n"
     "    \"object DemoSkin: TSkinData\\n\"\n"
     "    \"  Active = True\\n\"\n"
     "    \"  SkinFormtype = sfMainform\\n\"\n"
     "    \"  SkinStream = {\\n\"\n"
     "${lines}"
     "    \"    }\\n\"\n"
     "    \"end\\n\";\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
