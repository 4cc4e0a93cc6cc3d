// maclab-run [FILE]: plays a scenario script (FILE, or standard input) on the
// program without its window and prints what the window would show.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "runner/script.h"

namespace {

// The whole content of a stream; false when reading fails (a directory, an I/O error).
bool ReadAll(std::FILE* file, std::string& text) {
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    return std::ferror(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc > 2) {
        std::cerr << "usage: maclab-run [FILE]\n";
        return maclab::ScriptFailed;
    }
    std::string script;
    if (argc == 2) {
        std::FILE* file = std::fopen(argv[1], "rb");
        const bool read = file != nullptr && ReadAll(file, script);
        const int error = errno;
        if (file != nullptr) std::fclose(file);
        if (!read) {
            std::cerr << "maclab-run: cannot read " << argv[1] << ": " << std::strerror(error)
                      << '\n';
            return maclab::ScriptFailed;
        }
    } else if (!ReadAll(stdin, script)) {
        std::cerr << "maclab-run: cannot read standard input\n";
        return maclab::ScriptFailed;
    }
    const int status = maclab::RunScript(script, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
