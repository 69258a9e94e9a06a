# Compiler settings for the whole tree, set once: the language level, the warnings every target
# builds clean with, and the optional sanitizer and fuzzer instrumentation.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

option(RECHNER_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(RECHNER_FUZZ "Build the libFuzzer targets (clang only)" OFF)
option(RECHNER_GUI "Build the calculator window and the programs that need it" ON)
option(RECHNER_WERROR "Treat warnings in our own code as errors (the test command sets it)" OFF)

# Every target of ours links this; third-party sources (GoogleTest) keep their own settings.
add_library(rechner_warnings INTERFACE)
target_compile_options(rechner_warnings INTERFACE -Wall -Wextra -Wpedantic -Wconversion
                       -Wsign-conversion -Wshadow -Wnon-virtual-dtor -Wmissing-declarations
                       # Tables use designated initializers and rely on default member values;
                       # g++ 12 would flag every field a row leaves out.
                       -Wno-missing-field-initializers)
if(RECHNER_WERROR)
    target_compile_options(rechner_warnings INTERFACE -Werror)
endif()

if(RECHNER_SANITIZE OR RECHNER_FUZZ)
    # Signed overflow must stop the test, not wrap silently.
    set(sanitizers address,undefined)
    if(RECHNER_FUZZ)
        set(sanitizers fuzzer-no-link,address,undefined)
    endif()
    add_compile_options(-fsanitize=${sanitizers} -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
