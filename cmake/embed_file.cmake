# Writes one file's bytes as a C++ array (called by quenbo_embed at build time).
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" hex_len)
math(EXPR size "${hex_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT} "#include <span>\nnamespace ${NS} {\nnamespace { const unsigned char data[${size} + 1] = {\n${bytes}0};\n}\nstd::span<const unsigned char> ${IDENT}() { return {data, ${size}}; }\n}\n")
