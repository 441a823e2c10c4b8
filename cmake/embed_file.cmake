# Script mode: writes a C++ source that holds the bytes of INPUT as
#   extern const unsigned char SYMBOL[]; extern const std::size_t SYMBOL_size;
# in namespace ombrik::embedded. Called by ombrik_embed_files at build time.
file(READ "${INPUT}" _hex HEX)
string(LENGTH "${_hex}" _len)
math(EXPR _size "${_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" _bytes "${_bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT_NAME}; do not edit.\n#include <cstddef>\nnamespace ombrik::embedded {\nextern const unsigned char ${SYMBOL}[] = {\n${_bytes}0};\nextern const std::size_t ${SYMBOL}_size = ${_size};\n}\n")
