// file-holder: keeps a file open without sharing it, as an editor or a backup program may, for
// the end-to-end tests of a host file that is busy.
//
//   file-holder <path> <release>
//
// Writes "held" once the file is open, keeps it so until a file named <release> exists and then
// lets go. Exits 0 after letting go, 1 when the file cannot be opened, 2 on wrong arguments.

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("error %lu\n", GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) {
        Sleep(10);
    }
    CloseHandle(file);
    return 0;
}
