# Turns one file into a C++ source that returns its bytes from a routine declared in
# Resources.h. Run as a script at build time:
#   cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DFUNCTION=<routine name> -P EmbedFile.cmake
foreach(argument INPUT OUTPUT FUNCTION)
    if(NOT DEFINED ${argument})
        message(FATAL_ERROR "EmbedFile.cmake needs -D${argument}=...")
    endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
if(hexLength EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty")
endif()
# Sixteen bytes per line keep the generated file readable in a diff or a debugger.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
get_filename_component(inputName "${INPUT}" NAME)

file(WRITE "${OUTPUT}" "// Generated from ${inputName} by EmbedFile.cmake; edit the source file instead.
#include \"Resources.h\"

namespace {
constexpr std::uint8_t Bytes[] = {
    ${bytes}
};
}  // namespace

std::span<const std::uint8_t> ${FUNCTION}() { return Bytes; }
")
