# Windows: the static programs and a German and English read-me in one folder of a ZIP, for the
# host's installer to put wherever it keeps its programs. Nothing else goes in: the programs
# need no DLL and no other file.

# The calculator exists only where its window has a backend (RECHNER_GUI).
if(TARGET rechner)
    install(TARGETS rechner RUNTIME DESTINATION .)
endif()
install(TARGETS hostsignal RUNTIME DESTINATION .)

# Notepad shows umlauts right with the byte-order mark the template starts with and CRLF lines.
configure_file(${CMAKE_CURRENT_LIST_DIR}/LIESMICH.txt.in ${CMAKE_CURRENT_BINARY_DIR}/LIESMICH.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LIESMICH.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
